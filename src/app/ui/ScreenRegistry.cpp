#include "app/ui/ScreenRegistry.h"

#include <array>

#include "app/CommandIds.h"

namespace {
std::array<ScreenFactory, SCREEN_COUNT>& Factories() {
    static std::array<ScreenFactory, SCREEN_COUNT> factories;
    return factories;
}
bool InRange(int n) { return n >= 0 && n < SCREEN_COUNT; }
}  // namespace

void RegisterScreen(int number, ScreenFactory factory) {
    if (InRange(number)) Factories()[number] = std::move(factory);
}

void UnregisterScreen(int number) {
    if (InRange(number)) Factories()[number] = nullptr;
}

bool IsScreenRegistered(int number) { return FindScreenFactory(number) != nullptr; }

const ScreenFactory* FindScreenFactory(int number) {
    if (!InRange(number) || !Factories()[number]) return nullptr;
    return &Factories()[number];
}
