#pragma once
// Color: an RGB colour with alpha, each component from 0 to 1, as settings
// store colours and cells draw with them. A plain value, safe to copy
// between threads.
namespace kl {

struct Color {
    double red = 0;
    double green = 0;
    double blue = 0;
    double alpha = 1;

    static constexpr Color white(double w, double alpha = 1) { return {w, w, w, alpha}; }
    static constexpr Color black() { return {0, 0, 0, 1}; }
    // The grey that settings fall back to when a stored colour cannot be read.
    static constexpr Color gray() { return white(0.5); }
    static constexpr Color lightGray() { return white(2.0 / 3.0); }

    bool operator==(const Color&) const = default;
};

}  // namespace kl
