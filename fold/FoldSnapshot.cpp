#include "fold/FoldSnapshot.h"

#include "fold/FoldModel.h"

FoldSnapshot FoldSnapshot::take(const FoldModel& model, float pitch) {
    return {model._creasePoint, model._coordinates, model._dirL, model._dirR, pitch};
}

void FoldSnapshot::restoreTo(FoldModel& model) const {
    model._creasePoint = creasePoint;
    model._coordinates = coordinates;
    model._dirL = dirL;
    model._dirR = dirR;
    model.caliculateLimitter();
}
