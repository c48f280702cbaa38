// The host command processor as a plug-in sees it: the per-client record, host
// values, the entry-point shapes and the eleven virtual operations in slot
// order. This is the only host header a plug-in compiles against besides the
// utility library and the resource loader.
#pragma once

#include <afxdlg.h>
#include <afxwin.h>
#include <windows.h>

#include <cstddef>
#include <cstdint>

class CCommandProcessor;
struct CCpClient;

// An object the host may hang on a value (word 1 of a structure value): the
// value's destruction deletes it.
class CHostObject {
 public:
  virtual ~CHostObject() = default;
};

// A host value. Numbers keep their double in word 2, strings a CString* in word
// 1; objects carry their type id in byte 1 and their payload in words 1 to 3.
// Byte 1 is 0 for a number and 1 for a string, so it is also the value's
// argument type code.
struct OBJ_BASECLASS {
  BYTE bFlags;  // 0
  BYTE idType;  // argument type code: 0 number, 1 string, else object type id
  BYTE bReserved[6];
  void* pWord1;  // CString* of a string; window payload
  union {
    double dValue;  // number
    void* pWord2;   // metafile payload
  };
  void* pWord3;  // structure record
};
static_assert(sizeof(OBJ_BASECLASS) == 4 * sizeof(void*), "four pointer-sized words");

// A window value (a structure window the plug-in made in the drawing view)
// keeps in word 1 the plug-in's window object: a CWnd whose m_hWnd is the
// window, set to 0 when the window is destroyed. The value may outlive its
// window (the user closed it), so the host reaches the window only through
// this, and a null handle means the window is gone.
inline HWND WindowOfValue(const OBJ_BASECLASS* v) {
  if (!v || !v->pWord1) return nullptr;
  return static_cast<const CWnd*>(v->pWord1)->m_hWnd;
}

// Allocation of values. Every value is one `new OBJ_BASECLASS{}`: MakeResult
// makes numbers and strings (a string's text is a `new CString`), and a
// plug-in makes its object values (new results, duplicates stored by opcode 2)
// the same way. A type's handler, given opcode 0, releases the payload and
// deletes the value itself; numbers and strings are freed by the host. So a
// value is ended by ObjectOpCall(value, OBJOP_DESTROY, 0, 0), whoever holds it,
// and is gone afterwards.
//
// Plots ("MS", "CHRO") and their children: OBJOP_ADDCHILD adopts the value p1
// (the caller hands it over, usually a fresh duplicate); OBJOP_REMOVECHILD
// hands child p1 back to the caller, who must destroy or keep it; OBJOP_GETCHILD
// lends child p1, which stays the plot's. A plot destroys its children when it is
// destroyed and duplicates them when it is duplicated.

// A "RANGE" value: from and to in words 2 and 3.
struct RANGE_OBJ {
  BYTE bFlags;
  BYTE idType;
  BYTE bReserved[6];
  void* pWord1;
  double dFrom;
  double dTo;
};
static_assert(sizeof(RANGE_OBJ) == sizeof(OBJ_BASECLASS));

#define ARG_NUMBER 0
#define ARG_STRING 1

// Per-client record: words 0 and 1 come from the host, word 2 is the plug-in's
// global state, word 3 the command processor.
struct CCpClient {
  uintptr_t dwHost0;
  uintptr_t dwHost1;
  void* pInfo;
  CCommandProcessor* pcp;
};

typedef short (*FunctionEntry)(CCpClient* client, OBJ_BASECLASS** args, OBJ_BASECLASS** result);
typedef short (*CommandEntry)(CCpClient* client, OBJ_BASECLASS** args);
typedef short (*ObjOpCall)(OBJ_BASECLASS* value, unsigned short opcode, intptr_t p1, intptr_t p2,
                           CCpClient* client);
// The server entry: message 2 creates a client, 3 initialises it, 6 ends it,
// 8 raises the abort request.
typedef short (*ServerEntry)(CCpClient* client, unsigned short msg, uintptr_t* block);

// Object opcodes.
#define OBJOP_DESTROY 0
#define OBJOP_DESCRIBE 1
#define OBJOP_DUPLICATE 2
#define OBJOP_ADDCHILD 6
#define OBJOP_REMOVECHILD 7
#define OBJOP_GETCHILD 8
#define OBJOP_DRAW 9
#define OBJOP_TYPENAME 10
#define OBJOP_ACTIVATE 1000

// The draw request of OBJOP_DRAW (p1): how a plot asks a child to draw itself
// into the plot's area. Fields keep the order of the original record; the
// words the children do not read and the device contexts are pointer-sized.
//
// On screen and into files (bPrint 0): hdc is in MM_TEXT; rcTarget is the
// plot area in its logical units (device pixels); hdcRef is the context whose
// colours and resolution count: hdc itself, except for a metafile file, whose
// reference is the screen (a metafile context reports neither). The ranges
// are the plot's axes rounded to whole numbers.
//
// On a printer (bPrint 1) the plot fills the page in y-up logical units that
// structures and pictures both place themselves by:
//   M = 16380 (PLOT_PRINT_UNITS), lPrintExtX = 16380, lPrintUnitY = 1;
//   window origin (0, M), window extent (lPrintExtX, -M);
//   viewport origin (0, 0), viewport extent the page in device pixels;
//   rcTarget = (0, 0, lPrintExtX, M).
// A structure maps its placement y-up into these units (logical y = M at the
// page's top edge); a picture keeps the viewport and replaces the window
// extent and origin with its own, measuring its top edge down from the
// viewport origin in units of M (M rounded down to a multiple of
// lPrintUnitY). With the values above both put one placement on the same
// device rectangle, within the one unit their truncations differ by. hdcRef
// is hdc.
#define PLOT_PRINT_UNITS 16380

struct PLOTDRAWREQ {
  uintptr_t dwReserved0;
  int32_t bPrint;
  uintptr_t dwReserved1;
  HDC hdc;
  HDC hdcRef;
  uintptr_t dwReserved2;
  RECT rcTarget;
  uintptr_t dwReserved3[4];
  int64_t llXFrom;
  int64_t llYFrom;
  int64_t llXTo;
  int64_t llYTo;
  uintptr_t dwReserved4[5];
  int32_t lPrintExtX;
  int32_t lPrintUnitY;
};
static_assert(sizeof(void*) == 8, "the draw request is laid out for 64-bit words");
static_assert(offsetof(PLOTDRAWREQ, bPrint) == 8 && offsetof(PLOTDRAWREQ, hdc) == 24 &&
                  offsetof(PLOTDRAWREQ, hdcRef) == 32 && offsetof(PLOTDRAWREQ, rcTarget) == 48 &&
                  offsetof(PLOTDRAWREQ, llXFrom) == 96 && offsetof(PLOTDRAWREQ, llYTo) == 120 &&
                  offsetof(PLOTDRAWREQ, lPrintExtX) == 168 &&
                  offsetof(PLOTDRAWREQ, lPrintUnitY) == 172 && sizeof(PLOTDRAWREQ) == 176,
              "draw request layout");

// Server message block words.
#define SRVBLK_HOST1 1
#define SRVBLK_HOST2 2
#define SRVBLK_ENTRY 3
#define SRVBLK_CLIENT 4
#define SRVBLK_CMDPROC 5
#define SRVBLK_WORDS 8

class CCommandProcessor {
 public:
  virtual short ShowStatusText(int channel, LPCSTR text) = 0;
  virtual short SetNumericVariable(LPCSTR name, double value) = 0;
  virtual short RegisterObjectType(LPCSTR typeName, ObjOpCall handler, CCpClient* client,
                                   BYTE* pTypeId) = 0;
  virtual short RegisterFunction(LPCSTR name, FunctionEntry entry, int nArgs, const BYTE* types,
                                 CCpClient* client) = 0;
  virtual short RegisterCommand(LPCSTR name, CommandEntry entry, DWORD packedTypes,
                                CCpClient* client) = 0;
  virtual short RegisterOverloadedCommand(const CString& name, CommandEntry entry, int selector,
                                          int nArgs, const BYTE* types, const CString& tag,
                                          CCpClient* client) = 0;
  virtual short AddCommandOverload(const CString& name, CommandEntry entry, int nArgs,
                                   const BYTE* types, CCpClient* client) = 0;
  virtual short GetStringVariable(LPCSTR name, LPCSTR* pText) = 0;
  virtual short ObjectOpCall(OBJ_BASECLASS* value, unsigned short opcode, intptr_t p1,
                             intptr_t p2) = 0;
  virtual short LookupObjectType(LPCSTR typeName, BYTE* pTypeId) = 0;
  // type 0: data points at a double; type 1: data is the text.
  virtual short MakeResult(int type, int size, const void* data, OBJ_BASECLASS** result) = 0;

  HWND hwndMain = nullptr;
  HWND hwndView = nullptr;
  int16_t nErrors = 0;

 protected:
  ~CCommandProcessor() = default;
};
