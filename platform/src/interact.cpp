// The stand-in for the user: the queue of scripted actions (or, in an
// interactive terminal, lines typed), message boxes that report their text
// and answer with their default button, beeps, and the console they go to.
#include <unistd.h>

#include <cstdio>
#include <deque>
#include <iostream>
#include <mutex>

#include "internal.h"

namespace {

struct Interaction {
  std::mutex mutex;
  std::deque<std::string> actions;
  bool everQueued = false;
  bool terminal = false;
  platform::Console console;
};

Interaction& State() {
  static auto* s = new Interaction;
  return *s;
}

void ToStderr(const std::string& line) {
  std::fputs(line.c_str(), stderr);
  std::fputc('\n', stderr);
  std::fflush(stderr);
}

platform::Console DefaultConsole() {
  platform::Console c;
  c.message = [](const std::string& text) { ToStderr("message: " + text); };
  c.beep = [] { ToStderr("beep"); };
  c.ignoredAnswer = [](const std::string& line) { ToStderr("answer ignored: " + line); };
  return c;
}

std::string StripLineEnd(std::string line) {
  while (!line.empty() && (line.back() == '\r' || line.back() == '\n')) line.pop_back();
  return line;
}

bool Blank(const std::string& line) {
  return line.find_first_not_of(" \t\r\n") == std::string::npos;
}

}  // namespace

namespace platform {

void SetConsole(const Console& c) {
  Console merged = DefaultConsole();
  if (c.message) merged.message = c.message;
  if (c.beep) merged.beep = c.beep;
  if (c.ignoredAnswer) merged.ignoredAnswer = c.ignoredAnswer;
  Interaction& s = State();
  std::lock_guard lock(s.mutex);
  s.console = merged;
}

const Console& GetConsole() {
  Interaction& s = State();
  std::lock_guard lock(s.mutex);
  if (!s.console.message) s.console = DefaultConsole();
  return s.console;
}

void QueueAction(const std::string& line) {
  std::string action = StripLineEnd(line);
  if (Blank(action)) return;
  Interaction& s = State();
  std::lock_guard lock(s.mutex);
  s.actions.push_back(action);
  s.everQueued = true;
}

void QueueActionsFromFile(const std::string& text) {
  size_t i = 0;
  while (i < text.size()) {
    size_t nl = text.find('\n', i);
    size_t end = nl == std::string::npos ? text.size() : nl;
    QueueAction(text.substr(i, end - i));
    i = end + 1;
  }
}

bool HasQueuedAction() {
  Interaction& s = State();
  std::lock_guard lock(s.mutex);
  return !s.actions.empty();
}

bool NextAction(std::string& line) {
  Interaction& s = State();
  {
    std::lock_guard lock(s.mutex);
    if (!s.actions.empty()) {
      line = s.actions.front();
      s.actions.pop_front();
      return true;
    }
    if (!s.terminal || s.everQueued || !isatty(STDIN_FILENO)) return false;
  }
  // The user types the action; end of input cancels like an empty queue.
  std::string typed;
  if (!std::getline(std::cin, typed)) return false;
  line = StripLineEnd(typed);
  return true;
}

bool EverQueued() {
  Interaction& s = State();
  std::lock_guard lock(s.mutex);
  return s.everQueued;
}

// Forgets the queue and that anything was ever queued, so each test starts
// as a fresh process would.
void ClearActions() {
  Interaction& s = State();
  std::lock_guard lock(s.mutex);
  s.actions.clear();
  s.everQueued = false;
}

void SetTerminalInput(bool enabled) {
  Interaction& s = State();
  std::lock_guard lock(s.mutex);
  s.terminal = enabled;
}

}  // namespace platform

// Message boxes take no action from the queue: nobody is there to answer a
// box in a script, so it reports its text and takes its default button.
int MessageBox(HWND, LPCSTR lpText, LPCSTR, UINT uType) {
  auto report = platform::GetConsole().message;  // a copy: the report may replace the console
  report(lpText ? lpText : "");
  UINT def = uType & 0x0F00;
  int second = def == MB_DEFBUTTON2, third = def == MB_DEFBUTTON3;
  switch (uType & 0x000F) {
    case MB_OKCANCEL:
      return second ? IDCANCEL : IDOK;
    case MB_ABORTRETRYIGNORE:
      return third ? IDIGNORE : second ? IDRETRY : IDABORT;
    case MB_YESNOCANCEL:
      return third ? IDCANCEL : second ? IDNO : IDYES;
    case MB_YESNO:
      return second ? IDNO : IDYES;
    case MB_RETRYCANCEL:
      return second ? IDCANCEL : IDRETRY;
    default:
      return IDOK;
  }
}

BOOL MessageBeep(UINT) {
  auto beep = platform::GetConsole().beep;
  beep();
  return TRUE;
}
