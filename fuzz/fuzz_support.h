// What the fuzz targets share: a check that stops the run, input taken apart into fields, and
// a private folder and headless backend for the readers that take files.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

#include "platform/headless/control.h"

// Stops the run when a property of the reader does not hold: the fuzzer keeps the input.
#define FUZZ_CHECK(condition)                                                                      \
    do                                                                                             \
    {                                                                                              \
        if (!(condition))                                                                          \
        {                                                                                          \
            std::fprintf(stderr, "%s:%d: property broken: %s\n", __FILE__, __LINE__, #condition);  \
            __builtin_trap();                                                                      \
        }                                                                                          \
    } while (0)

namespace fuzz
{

// The input, read front to back: fields first, the rest as the reader's bytes.
struct Input
{
    const std::uint8_t* bytes;
    std::size_t size;
};

// The next byte, 0 when the input is used up.
std::uint8_t TakeByte(Input& input);
// The next two bytes, least significant first, as a signed number.
int TakeInt16(Input& input);
// Everything left.
std::string_view TakeRest(Input& input);

// A fresh folder (in memory where /dev/shm exists) that is the current folder from the first
// call on; removed at exit. Ends with a separator.
const std::string& Folder();

// Writes bytes to a file in Folder(); returns its path.
std::string WriteFile(const std::string& name, std::string_view bytes);

// Starts the headless backend once, with the program and the settings in Folder() and MIDI
// music silent (no soundfont is loaded), and takes the start-up clock as the program does.
void StartHeadless(platform::headless::HeadlessConfig config = {});

// True when text is whole CP932: every lead byte has its second byte.
// The cut a 256-byte text buffer makes of text into size bytes: the longest run of whole
// characters that fits size - 1 bytes, a lead byte at the very end counting as one.
std::size_t ExpectedCut(const char* text, std::size_t size);
bool IsWholeCp932(std::string_view text);

// True when text is well-formed UTF-8 (no overlong forms, surrogates or values past U+10FFFF).
bool IsUtf8(std::string_view text);

} // namespace fuzz
