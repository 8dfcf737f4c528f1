#pragma once

// Window geometry the suite stores and compares in twips (1/1440 inch). The program lays out at
// the platform's logical 96 dots per inch, so one logical pixel is 15 twips whatever the screen's
// scale; this is the one place that converts.
namespace Twips {

inline constexpr int PerPixel = 15;

// Twips to logical pixels, rounded to the nearest pixel.
constexpr int toPixels(double twips)
{
    return int(twips >= 0 ? twips / PerPixel + 0.5 : twips / PerPixel - 0.5);
}

// Logical pixels to twips.
constexpr int fromPixels(int pixels)
{
    return pixels * PerPixel;
}

} // namespace Twips
