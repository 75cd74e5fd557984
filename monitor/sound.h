#pragma once
// One tone from the speaker (Beep); its result says nothing the program uses.

void beep(int frequency_hz, int duration_ms);
