#pragma once

#include <functional>

// The short warning sound for input that could not be understood. The core
// has no display, so the program hands it the platform's beep at start-up;
// until then a beep is silent.
void SetBeepHandler(std::function<void()> handler);
void Beep();
