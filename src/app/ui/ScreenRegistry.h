// Which screens the main window can show: screen number → factory creating
// the screen for the document. A screen that is not registered cannot be
// reached (its buttons and commands are disabled).
//
// The composition root (src/root/Wiring.cpp) fills one registry and hands it
// to the frame, which creates screens only through it:
//     screens.Register(SCREEN_RIREKI_LIST, [](CMilvaneDoc& d, CMainFrame& f, int) {
//         return new CRirekiView(d, f); });
#pragma once

#include <array>
#include <functional>

#include "app/CommandIds.h"

class CMainFrame;
class CMilvaneDoc;
class CScreenView;

// Creates the screen (not yet shown); the number is passed for screens that
// serve several numbers (the customer list serves 1 to 3). Null on failure.
using ScreenFactory = std::function<CScreenView*(CMilvaneDoc& doc, CMainFrame& frame, int number)>;

class CScreenRegistry {
public:
    // Replaces any earlier factory of that number. Numbers outside 0..5 are ignored.
    void Register(int number, ScreenFactory factory);
    void Unregister(int number);
    bool IsRegistered(int number) const { return Find(number) != nullptr; }
    // Null when not registered.
    const ScreenFactory* Find(int number) const;

private:
    std::array<ScreenFactory, SCREEN_COUNT> m_factories;
};
