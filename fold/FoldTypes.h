#pragma once

// Plain geometry values of the fold arithmetic, kept free of any toolkit type.
struct FoldPoint {
    double x = 0.0;
    double y = 0.0;
};

struct FoldSize {
    double width = 0.0;
    double height = 0.0;
};
