// Which screens the main window can show: screen number → factory creating
// the screen for the document. A screen that is not registered cannot be
// reached (its buttons and commands are disabled).
//
// The composition root (src/root/Wiring.cpp) registers every screen once at
// start-up; the frame creates screens only through this registry:
//     RegisterScreen(SCREEN_RIREKI_LIST, [](CMilvaneDoc& d, CMainFrame& f, int) {
//         return new CRirekiView(d, f); });
#pragma once

#include <functional>

class CMainFrame;
class CMilvaneDoc;
class CScreenView;

// Creates the screen (not yet shown); the number is passed for screens that
// serve several numbers (the customer list serves 1 to 3). Null on failure.
using ScreenFactory = std::function<CScreenView*(CMilvaneDoc& doc, CMainFrame& frame, int number)>;

// Replaces any earlier factory of that number. Numbers outside 0..5 are ignored.
void RegisterScreen(int number, ScreenFactory factory);
void UnregisterScreen(int number);
bool IsScreenRegistered(int number);
// Null when not registered.
const ScreenFactory* FindScreenFactory(int number);
