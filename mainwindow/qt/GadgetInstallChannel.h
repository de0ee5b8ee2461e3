#pragma once

// What the gadget installation window's own program and WendraWin say to each
// other. The window shows its page in Qt WebEngine, which WendraWin never loads
// (the browser engine brings a hundred libraries and a software GL driver with it
// for a window shown on a first run at most), so it runs as a program of its own:
//   wendra-gadget-install PAGE [TITLE [X Y WIDTH HEIGHT]]
// Each line it writes on its standard output is one request of the page; it ends
// when its standard input ends (WendraWin closed it, or ended).

namespace wendra::mainwindow::qt::installwindow {

inline constexpr char kProgram[] = "wendra-gadget-install";
// The page's link leads to a local file that is no page: "link " and the file's
// address, percent-encoded (so no line break of a file name can split the line).
inline constexpr char kLinked[] = "link ";
// The page closed its window.
inline constexpr char kClosing[] = "close";

}  // namespace wendra::mainwindow::qt::installwindow
