#include "beep.h"

#include <utility>

namespace {
std::function<void()> &beepHandler()
{
    static std::function<void()> handler;
    return handler;
}
} // namespace

void SetBeepHandler(std::function<void()> handler)
{
    beepHandler() = std::move(handler);
}

void Beep()
{
    if (const auto &handler = beepHandler())
        handler();
}
