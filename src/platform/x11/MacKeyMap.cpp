#include "MacKeyMap.h"

#include <array>

namespace snapwick::x11 {

namespace {

// Index: the platform's key code; value: the evdev code, 0 where no key sits.
constexpr std::array<std::uint16_t, 128> kEvdev = [] {
    std::array<std::uint16_t, 128> t{};
    const std::pair<int, int> pairs[] = {
        {0, 30},    {1, 31},    {2, 32},    {3, 33},    {4, 35},    {5, 34},    {6, 44},
        {7, 45},    {8, 46},    {9, 47},    {10, 86},   {11, 48},   {12, 16},   {13, 17},
        {14, 18},   {15, 19},   {16, 21},   {17, 20},   {18, 2},    {19, 3},    {20, 4},
        {21, 5},    {22, 7},    {23, 6},    {24, 13},   {25, 10},   {26, 8},    {27, 12},
        {28, 9},    {29, 11},   {30, 27},   {31, 24},   {32, 22},   {33, 26},   {34, 23},
        {35, 25},   {36, 28},   {37, 38},   {38, 36},   {39, 40},   {40, 37},   {41, 39},
        {42, 43},   {43, 51},   {44, 53},   {45, 49},   {46, 50},   {47, 52},   {48, 15},
        {49, 57},   {50, 41},   {51, 14},   {53, 1},    {55, 29}, // Command: Control_L
        {56, 42},   {57, 58},   {58, 29}, // Option: Control_L, for word motion
        {59, 29},   {60, 54},   {61, 56}, // right Option: Alt_L
        {62, 97},   {65, 83},   {67, 55},   {69, 78},   {71, 69},   {75, 98},   {76, 96},
        {78, 74},   {81, 117},  {82, 82},   {83, 79},   {84, 80},   {85, 81},   {86, 75},
        {87, 76},   {88, 77},   {89, 71},   {91, 72},   {92, 73},   {96, 63},   {97, 64},
        {98, 65},   {99, 61},   {100, 66},  {101, 67},  {103, 87},  {109, 68},  {111, 88},
        {114, 110}, {115, 102}, {116, 104}, {117, 111}, {118, 62},  {119, 107}, {120, 60},
        {121, 109}, {122, 59},  {123, 105}, {124, 106}, {125, 108}, {126, 103}};
    for (const auto& [mac, evdev] : pairs)
        t[std::size_t(mac)] = std::uint16_t(evdev);
    return t;
}();

} // namespace

std::optional<std::uint16_t> evdevCodeForMacKeyCode(std::uint16_t macKeyCode)
{
    if (macKeyCode >= kEvdev.size() || kEvdev[macKeyCode] == 0)
        return std::nullopt;
    return kEvdev[macKeyCode];
}

std::optional<unsigned> xKeyCodeForMacKeyCode(std::uint16_t macKeyCode)
{
    const auto evdev = evdevCodeForMacKeyCode(macKeyCode);
    return evdev ? std::optional<unsigned>(*evdev + 8u) : std::nullopt;
}

} // namespace snapwick::x11
