#include "ColorValues.h"

// clang-format off
const ColorValue g_arColorValues[NUM_COLOR_VALUES] = {
    {"Black",        0,   0,   0}, {"White",      255, 255, 255}, {"Cantaloupe", 255, 204, 102},
    {"Honeydew",   204, 255, 102}, {"Spindrift",  102, 255, 204}, {"Sky",        102, 204, 255},
    {"Lavender",   204, 102, 255}, {"Carnation",  255, 111, 207}, {"Cayenne",    128,   0,   0},
    {"Asparagus",  128, 128,   0}, {"Clover",       0, 128,   0}, {"Teal",         0, 128, 128},
    {"Midnight",     0,   0, 128}, {"Plum",       128,   0, 128}, {"Tin",        127, 127, 127},
    {"Nickel",     128, 128, 128}, {"Mocha",      128,  64,   0}, {"Fern",        64, 128,   0},
    {"Moss",         0, 128,  64}, {"Ocean",        0,  64, 128}, {"Eggplant",    64,   0, 128},
    {"Maroon",     128,   0,  64}, {"Steel",      102, 102, 102}, {"Aluminium",  153, 153, 153},
    {"Maraschino", 255,   0,   0}, {"Lemon",      255, 255,   0}, {"Spring",       0, 255,   0},
    {"Turquoise",    0, 255, 255}, {"Blueberry",    0,   0, 255}, {"Magenta",    255,   0, 255},
    {"Iron",        76,  76,  76}, {"Magnesium",  179, 179, 179}, {"Tangerine",  255, 128,   0},
    {"Lime",       128, 255,   0}, {"Sea Foam",     0, 255, 128}, {"Aqua",         0, 128, 255},
    {"Grape",      128,   0, 255}, {"Strawberry", 255,   0, 128}, {"Tungsten",    51,  51,  51},
    {"Silver",     204, 204, 204}, {"Salmon",     255, 102, 102}, {"Banana",     255, 255, 102},
    {"Flora",      102, 255, 102}, {"Ice",        102, 255, 255}, {"Orchid",     102, 102, 255},
    {"Bubblegum",  255, 102, 255}, {"Lead",        25,  25,  25}, {"Mercury",    230, 230, 230},
};
// clang-format on

gfx::Color ColorOfValue(const ColorValue& value)
{
    return {static_cast<float>(value.red / 255.0), static_cast<float>(value.green / 255.0),
            static_cast<float>(value.blue / 255.0), 1.0f};
}
