// A small plug-in for the host's tests. It registers two object types,
// overloaded functions and commands, and counts every payload it makes,
// duplicates and destroys, so tests can see that the host ends each value
// exactly once and duplicates where it should. A THING also draws itself as a
// plot's child and writes down the draw request it got (Draws$()). A PANE is
// a window value: a framed child of the drawing view whose messages are
// written down (PaneLog$()).
#include <cmdproc.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <utility>

#define EXPORT extern "C" __attribute__((visibility("default")))

namespace {

struct Thing {
  std::string name;
};

struct Counts {
  int created = 0, duplicated = 0, destroyed = 0;
  int liveAtStop = -1;
  std::string messages;  // server messages in order, "2,3,6"
  std::string draws;     // one line per OBJOP_DRAW, until Draws$() takes them
  std::string paneLog;   // the user's messages to panes, until PaneLog$() takes them
  int panes = 0;
};
Counts g;

BYTE idPane = 0, idThing = 0, idGadget = 0, idMs = 0, idChro = 0, idRange = 0;

CCommandProcessor* Cp(CCpClient* c) { return c->pcp; }
int Live() { return g.created + g.duplicated - g.destroyed; }

OBJ_BASECLASS* NewValue(BYTE type, const std::string& name) {
  auto* v = new OBJ_BASECLASS{};
  v->idType = type;
  v->pWord3 = new Thing{name};
  return v;
}
Thing* ThingOf(OBJ_BASECLASS* v) { return static_cast<Thing*>(v->pWord3); }

short Result(CCpClient* c, OBJ_BASECLASS** result, const std::string& text) {
  return Cp(c)->MakeResult(ARG_STRING, 12, text.c_str(), result);
}
short Result(CCpClient* c, OBJ_BASECLASS** result, double d) {
  return Cp(c)->MakeResult(ARG_NUMBER, 12, &d, result);
}

// A plot child's drawing: the request and the mapping found on the context,
// the colour already under the target's top-left corner, then a blue
// rectangle over the target's middle. A thing named by a number fails its
// drawing with that status.
short Draw(const std::string& name, const PLOTDRAWREQ* r) {
  if (!r) return 602;
  bool zero = r->dwReserved0 == 0 && r->dwReserved1 == 0 && r->dwReserved2 == 0;
  for (uintptr_t w : r->dwReserved3) zero = zero && w == 0;
  for (uintptr_t w : r->dwReserved4) zero = zero && w == 0;
  POINT org{};
  SIZE wext{}, vext{};
  GetWindowOrgEx(r->hdc, &org);
  GetWindowExtEx(r->hdc, &wext);
  GetViewportExtEx(r->hdc, &vext);
  const RECT& t = r->rcTarget;
  const std::string ref =
      r->hdcRef == r->hdc ? "hdc" : std::to_string(GetDeviceCaps(r->hdcRef, TECHNOLOGY));
  char line[512];
  std::snprintf(line, sizeof line,
                "%s print=%d rect=%ld,%ld,%ld,%ld x=%lld,%lld y=%lld,%lld ext=%d unit=%d dc=%d "
                "ref=%s mm=%d org=%ld,%ld wext=%ld,%ld vext=%ld,%ld under=%06x zero=%d\n",
                name.c_str(), r->bPrint, static_cast<long>(t.left), static_cast<long>(t.top),
                static_cast<long>(t.right), static_cast<long>(t.bottom),
                static_cast<long long>(r->llXFrom), static_cast<long long>(r->llXTo),
                static_cast<long long>(r->llYFrom), static_cast<long long>(r->llYTo), r->lPrintExtX,
                r->lPrintUnitY, GetDeviceCaps(r->hdc, TECHNOLOGY), ref.c_str(), GetMapMode(r->hdc),
                static_cast<long>(org.x), static_cast<long>(org.y), static_cast<long>(wext.cx),
                static_cast<long>(wext.cy), static_cast<long>(vext.cx), static_cast<long>(vext.cy),
                static_cast<unsigned>(GetPixel(r->hdc, t.left, t.top)), zero ? 1 : 0);
  g.draws += line;
  HBRUSH blue = CreateSolidBrush(RGB(0, 0, 255));
  HGDIOBJ old = SelectObject(r->hdc, blue);
  const LONG qx = (t.right - t.left) / 4, qy = (t.bottom - t.top) / 4;
  Rectangle(r->hdc, t.left + qx, t.top + qy, t.right - qx, t.bottom - qy);
  SelectObject(r->hdc, old);
  DeleteObject(blue);
  return static_cast<short>(std::atoi(name.c_str()));
}

short PaneOp(OBJ_BASECLASS* v, unsigned short op, intptr_t p1, intptr_t p2);

// Both types share one handler; the name says which (panes have their own).
short ObjOp(OBJ_BASECLASS* v, unsigned short op, intptr_t p1, intptr_t p2, CCpClient*) {
  if (v->idType == idPane) return PaneOp(v, op, p1, p2);
  const char* type = v->idType == idThing ? "THING" : "GADGET";
  switch (op) {
    case OBJOP_DESTROY:
      ++g.destroyed;
      delete ThingOf(v);
      delete v;
      return 0;
    case OBJOP_DESCRIBE:
      *reinterpret_cast<BSTR*>(p1) =
          SysAllocString((std::string(type) + " " + ThingOf(v)->name).c_str());
      return 0;
    case OBJOP_DUPLICATE:
      if (ThingOf(v)->name == "nodup") return 600;
      ++g.duplicated;
      *reinterpret_cast<OBJ_BASECLASS**>(p1) = NewValue(v->idType, ThingOf(v)->name);
      return 0;
    case OBJOP_TYPENAME:
      std::snprintf(reinterpret_cast<char*>(p1), static_cast<size_t>(p2), "%s", type);
      return 0;
    case OBJOP_DRAW:
      return Draw(ThingOf(v)->name, reinterpret_cast<const PLOTDRAWREQ*>(p1));
    default:
      return 601;
  }
}

// ---------------------------------------------------------------- panes

// The window object lives as long as the value; the window procedure clears
// its handle when the window goes, as the framework does.
LRESULT CALLBACK PaneProc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
  const char* name = msg == WM_KEYDOWN         ? "keydown"
                     : msg == WM_CHAR          ? "char"
                     : msg == WM_LBUTTONDOWN   ? "down"
                     : msg == WM_LBUTTONUP     ? "up"
                     : msg == WM_LBUTTONDBLCLK ? "dblclk"
                     : msg == WM_SYSCOMMAND    ? "syscommand"
                     : msg == WM_CLOSE         ? "close"
                     : msg == WM_DESTROY       ? "destroy"
                                               : nullptr;
  if (name) {
    char line[96];
    std::snprintf(line, sizeof line, "%s %lx %lx\n", name, static_cast<unsigned long>(wp),
                  static_cast<unsigned long>(lp));
    g.paneLog += line;
  }
  if (msg == WM_NCDESTROY) {
    if (auto* w = reinterpret_cast<CWnd*>(GetWindowLongPtr(h, GWLP_USERDATA))) w->m_hWnd = nullptr;
  }
  return DefWindowProc(h, msg, wp, lp);
}

short PaneOp(OBJ_BASECLASS* v, unsigned short op, intptr_t p1, intptr_t p2) {
  auto* w = static_cast<CWnd*>(v->pWord1);
  switch (op) {
    case OBJOP_DESTROY:
      if (w->m_hWnd) DestroyWindow(w->m_hWnd);
      delete w;
      delete v;
      return 0;
    case OBJOP_TYPENAME:
      std::snprintf(reinterpret_cast<char*>(p1), static_cast<size_t>(p2), "PANE");
      return 0;
    default:
      return 601;
  }
}

// MakePane(title$, shown): pane n (from 0) at (10 + 50n, 20), 200 x 100.
short MakePane(CCpClient* c, OBJ_BASECLASS** args, OBJ_BASECLASS** result) {
  WNDCLASS existing{};
  if (!GetClassInfo(nullptr, "TestPane", &existing)) {
    WNDCLASS wc{};
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = PaneProc;
    wc.lpszClassName = "TestPane";
    if (!RegisterClass(&wc)) return 603;
  }
  const DWORD style = WS_CHILD | WS_CLIPSIBLINGS | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME |
                      WS_MINIMIZEBOX | WS_MAXIMIZEBOX | (args[1]->dValue != 0 ? WS_VISIBLE : 0);
  HWND h =
      CreateWindowEx(0, "TestPane", static_cast<CString*>(args[0]->pWord1)->str().c_str(), style,
                     10 + 50 * g.panes++, 20, 200, 100, Cp(c)->hwndView, nullptr, nullptr, nullptr);
  if (!h) return 604;
  auto* w = new CWnd;
  w->m_hWnd = h;
  SetWindowLongPtr(h, GWLP_USERDATA, reinterpret_cast<intptr_t>(w));
  auto* v = new OBJ_BASECLASS{};
  v->idType = idPane;
  v->pWord1 = w;
  *result = v;
  return 0;
}

short PaneLog(CCpClient* c, OBJ_BASECLASS**, OBJ_BASECLASS** r) {
  const std::string log = std::move(g.paneLog);
  g.paneLog.clear();
  return Result(c, r, log);
}

// ---------------------------------------------------------------- functions

short MakeThing(CCpClient*, OBJ_BASECLASS** args, OBJ_BASECLASS** result) {
  if (!args[0]) return 534;
  ++g.created;
  *result = NewValue(idThing, static_cast<CString*>(args[0]->pWord1)->str());
  return 0;
}

short MakeGadget(CCpClient*, OBJ_BASECLASS**, OBJ_BASECLASS** result) {
  ++g.created;
  *result = NewValue(idGadget, "g");
  return 0;
}

short WhichNumStr(CCpClient* c, OBJ_BASECLASS**, OBJ_BASECLASS** r) {
  return Result(c, r, "number,string");
}
short WhichStrStr(CCpClient* c, OBJ_BASECLASS**, OBJ_BASECLASS** r) {
  return Result(c, r, "string,string");
}
short WhichThing(CCpClient* c, OBJ_BASECLASS**, OBJ_BASECLASS** r) { return Result(c, r, "thing"); }
short WhichMs(CCpClient* c, OBJ_BASECLASS**, OBJ_BASECLASS** r) { return Result(c, r, "ms"); }

// "n s t n" with "-" for each missing position.
short Positions(CCpClient* c, OBJ_BASECLASS** args, OBJ_BASECLASS** r) {
  std::string s;
  const char* marks = "nstn";
  for (int i = 0; i < 4; ++i) {
    if (i) s += ' ';
    s += args[i] ? marks[i] : '-';
  }
  return Result(c, r, s);
}

// Fails with the status given; with a second argument, after making a result.
short Fail(CCpClient* c, OBJ_BASECLASS** args, OBJ_BASECLASS** r) {
  if (args[1]) Result(c, r, 1.0);
  return static_cast<short>(args[0] ? args[0]->dValue : 999);
}

short NoResult(CCpClient*, OBJ_BASECLASS**, OBJ_BASECLASS**) { return 0; }

short Draws(CCpClient* c, OBJ_BASECLASS**, OBJ_BASECLASS** r) {
  const std::string taken = std::move(g.draws);
  g.draws.clear();
  return Result(c, r, taken);
}

short NameOf(CCpClient* c, OBJ_BASECLASS** args, OBJ_BASECLASS** r) {
  return args[0] ? Result(c, r, ThingOf(args[0])->name) : 534;
}

short ChildCount(CCpClient* c, OBJ_BASECLASS** args, OBJ_BASECLASS** r) {
  if (!args[0]) return 534;
  int n = 0;
  OBJ_BASECLASS* child = nullptr;
  while (Cp(c)->ObjectOpCall(args[0], OBJOP_GETCHILD, n, reinterpret_cast<intptr_t>(&child)) == 0)
    ++n;
  return Result(c, r, n);
}

// ---------------------------------------------------------------- commands

short Rename(CCpClient*, OBJ_BASECLASS** args) {
  if (!args[0] || !args[1]) return 534;
  ThingOf(args[0])->name = static_cast<CString*>(args[1]->pWord1)->str();
  return 0;
}

short Bump(CCpClient*, OBJ_BASECLASS** args) {
  if (!args[0]) return 534;
  args[0]->dValue += 1;
  return 0;
}

// Attaches a duplicate of the thing, as a plug-in attaches children.
short Attach(CCpClient* c, OBJ_BASECLASS** args) {
  if (!args[0] || !args[1]) return 534;
  OBJ_BASECLASS* copy = nullptr;
  short s = Cp(c)->ObjectOpCall(args[0], OBJOP_DUPLICATE, reinterpret_cast<intptr_t>(&copy), 0);
  if (s) return s;
  s = Cp(c)->ObjectOpCall(args[1], OBJOP_ADDCHILD, reinterpret_cast<intptr_t>(copy), 0);
  if (s) Cp(c)->ObjectOpCall(copy, OBJOP_DESTROY, 0, 0);
  return s;
}

// The mistake a plug-in could make: handing over its argument itself.
short AttachOriginal(CCpClient* c, OBJ_BASECLASS** args) {
  return Cp(c)->ObjectOpCall(args[1], OBJOP_ADDCHILD, reinterpret_cast<intptr_t>(args[0]), 0);
}

// Removes and destroys the first child.
short Detach(CCpClient* c, OBJ_BASECLASS** args) {
  if (!args[0]) return 534;
  OBJ_BASECLASS* child = nullptr;
  short s = Cp(c)->ObjectOpCall(args[0], OBJOP_GETCHILD, 0, reinterpret_cast<intptr_t>(&child));
  if (s) return s;
  s = Cp(c)->ObjectOpCall(args[0], OBJOP_REMOVECHILD, reinterpret_cast<intptr_t>(child), 0);
  if (s) return s;
  return Cp(c)->ObjectOpCall(child, OBJOP_DESTROY, 0, 0);
}

short Say(CCpClient* c, OBJ_BASECLASS** args) {
  return Cp(c)->ShowStatusText(static_cast<int>(args[0]->dValue),
                               static_cast<CString*>(args[1]->pWord1)->GetString());
}

short SetVar(CCpClient* c, OBJ_BASECLASS** args) {
  return Cp(c)->SetNumericVariable(static_cast<CString*>(args[0]->pWord1)->GetString(),
                                   args[1]->dValue);
}

// Reads a string variable into another; with a non-zero second argument a
// missing variable is tolerated as the plug-in tolerates "_LIBPATH$".
short NeedVar(CCpClient* c, OBJ_BASECLASS** args) {
  LPCSTR text = nullptr;
  if (Cp(c)->GetStringVariable(static_cast<CString*>(args[0]->pWord1)->GetString(), &text) != 0) {
    if (args[1] && args[1]->dValue != 0 && Cp(c)->nErrors) --Cp(c)->nErrors;
    return 0;
  }
  return Cp(c)->SetNumericVariable("_LEN", static_cast<double>(std::strlen(text)));
}

short PutThing(CCpClient* c, OBJ_BASECLASS**) { return Cp(c)->SetNumericVariable("_PUT", 1); }
short PutText(CCpClient* c, OBJ_BASECLASS**) { return Cp(c)->SetNumericVariable("_PUT", 2); }
short NoArgs(CCpClient* c, OBJ_BASECLASS**) { return Cp(c)->SetNumericVariable("_NOARGS", 1); }

short Register(CCpClient* c) {
  CCommandProcessor* cp = Cp(c);
  cp->LookupObjectType("MS", &idMs);
  cp->LookupObjectType("CHRO", &idChro);
  cp->LookupObjectType("RANGE", &idRange);
  short s;
  if ((s = cp->RegisterObjectType("THING", ObjOp, c, &idThing))) return s;
  if ((s = cp->RegisterObjectType("GADGET", ObjOp, c, &idGadget))) return s;
  if ((s = cp->RegisterObjectType("PANE", ObjOp, c, &idPane))) return s;
  const BYTE str[] = {ARG_STRING};
  const BYTE numStr[] = {ARG_NUMBER, ARG_STRING};
  const BYTE strStr[] = {ARG_STRING, ARG_STRING};
  const BYTE thing[] = {idThing};
  const BYTE ms[] = {idMs};
  const BYTE four[] = {ARG_NUMBER, ARG_STRING, idThing, ARG_NUMBER};
  const BYTE numNum[] = {ARG_NUMBER, ARG_NUMBER};
  const BYTE strNum[] = {ARG_STRING, ARG_NUMBER};
  struct {
    const char* name;
    FunctionEntry fn;
    int n;
    const BYTE* types;
  } functions[] = {
      {"MakeThing", MakeThing, 1, str},   {"MakeGadget", MakeGadget, 0, nullptr},
      {"Which$", WhichNumStr, 2, numStr}, {"Which$", WhichStrStr, 2, strStr},
      {"Which$", WhichThing, 1, thing},   {"Which$", WhichMs, 1, ms},
      {"Positions$", Positions, 4, four}, {"Fail", Fail, 2, numNum},
      {"NoResult", NoResult, 0, nullptr}, {"NameOf$", NameOf, 1, thing},
      {"ChildCount", ChildCount, 1, ms},  {"Draws$", Draws, 0, nullptr},
      {"MakePane", MakePane, 2, strNum},  {"PaneLog$", PaneLog, 0, nullptr},
  };
  for (const auto& f : functions) {
    if ((s = cp->RegisterFunction(f.name, f.fn, f.n, f.types, c))) return s;
  }
  auto pack = [](BYTE a, BYTE b = 0xFF, BYTE c3 = 0xFF, BYTE d = 0xFF) {
    return static_cast<DWORD>(a | (b << 8) | (c3 << 16) | (static_cast<DWORD>(d) << 24));
  };
  struct {
    const char* name;
    CommandEntry fn;
    DWORD types;
  } commands[] = {
      {"Rename", Rename, pack(idThing, ARG_STRING)},
      {"Bump", Bump, pack(ARG_NUMBER)},
      {"Attach", Attach, pack(idThing, idMs)},
      {"AttachOriginal", AttachOriginal, pack(idThing, idMs)},
      {"Detach", Detach, pack(idMs)},
      {"Say", Say, pack(ARG_NUMBER, ARG_STRING)},
      {"SetVar", SetVar, pack(ARG_STRING, ARG_NUMBER)},
      {"NeedVar", NeedVar, pack(ARG_STRING, ARG_NUMBER)},
      {"NoArgs", NoArgs, 0xFFFFFFFFu},
  };
  for (const auto& cmd : commands) {
    if ((s = cp->RegisterCommand(cmd.name, cmd.fn, cmd.types, c))) return s;
  }
  const BYTE putThing[] = {idThing, ARG_NUMBER};
  const BYTE putText[] = {ARG_STRING, ARG_NUMBER};
  if ((s = cp->RegisterOverloadedCommand(CString("Put"), PutThing, 1, 2, putThing, CString("x"),
                                         c)))
    return s;
  if ((s = cp->AddCommandOverload(CString("Put"), PutText, 2, putText, c))) return s;
  const BYTE attachChro[] = {idThing, idChro};
  return cp->AddCommandOverload(CString("Attach"), Attach, 2, attachChro, c);
}

}  // namespace

EXPORT short OOCPSRV(CCpClient* client, unsigned short msg, uintptr_t* block) {
  g.messages += (g.messages.empty() ? "" : ",") + std::to_string(msg);
  switch (msg) {
    case 2: {
      if (std::getenv("TESTPLUGIN_REFUSE_CLIENT")) return 554;
      auto* c = new CCpClient{block[SRVBLK_HOST2], block[SRVBLK_HOST1], nullptr,
                              reinterpret_cast<CCommandProcessor*>(block[SRVBLK_CMDPROC])};
      block[SRVBLK_CLIENT] = reinterpret_cast<uintptr_t>(c);
      block[SRVBLK_ENTRY] = reinterpret_cast<uintptr_t>(&OOCPSRV);
      return 0;
    }
    case 3:
      Register(client);
      return 0;
    case 6:
      g.liveAtStop = Live();
      // The class would outlive this code once the library is unloaded.
      UnregisterClass("TestPane", nullptr);
      if (std::getenv("TESTPLUGIN_REPORT")) {
        std::fprintf(stderr, "testplugin: created %d duplicated %d destroyed %d live %d\n",
                     g.created, g.duplicated, g.destroyed, g.liveAtStop);
      }
      delete client;
      return 0;
    default:
      return 0;
  }
}

// For tests in the same process: what happened so far.
EXPORT void TestPluginCounts(int* created, int* duplicated, int* destroyed, int* liveAtStop) {
  *created = g.created;
  *duplicated = g.duplicated;
  *destroyed = g.destroyed;
  *liveAtStop = g.liveAtStop;
}

EXPORT const char* TestPluginMessages() { return g.messages.c_str(); }

EXPORT void TestPluginReset() { g = Counts{}; }
