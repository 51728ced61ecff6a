#pragma once

// The sheet's two edges and five creases, numbered 0 to 6 from the left edge.
inline constexpr int creaseLineCount = 7;

// Plain geometry values of the fold arithmetic, kept free of any toolkit type.
struct FoldPoint {
    double x = 0.0;
    double y = 0.0;

    bool operator==(const FoldPoint&) const = default;
};

struct FoldSize {
    double width = 0.0;
    double height = 0.0;

    bool operator==(const FoldSize&) const = default;
};
