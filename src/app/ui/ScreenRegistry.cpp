#include "app/ui/ScreenRegistry.h"

namespace {
bool InRange(int n) { return n >= 0 && n < SCREEN_COUNT; }
}  // namespace

void CScreenRegistry::Register(int number, ScreenFactory factory) {
    if (InRange(number)) m_factories[number] = std::move(factory);
}

void CScreenRegistry::Unregister(int number) {
    if (InRange(number)) m_factories[number] = nullptr;
}

const ScreenFactory* CScreenRegistry::Find(int number) const {
    if (!InRange(number) || !m_factories[number]) return nullptr;
    return &m_factories[number];
}
