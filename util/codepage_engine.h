#pragma once
// The two conversion calls of the platform, with the contracts of Windows'
// MultiByteToWideChar and WideCharToMultiByte called with flags 0 and no
// default character: a length of -1 reads up to and including the terminating
// zero; an output size of 0 asks for the size needed; 0 is returned on failure.
// Windows builds call Windows; native builds use a converter of their own.

#include <cstdint>

int convert_to_wide(int code_page, const char* text, int length, uint16_t* wide, int wide_units);
int convert_from_wide(int code_page, const uint16_t* wide, int length, char* text, int text_size);
