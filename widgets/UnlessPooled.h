#pragma once
// The deleter of what a widget holds unless it is shared: a resource that a
// pool holds (or a list, for its frames) is never deleted by a widget.

#include "FileIO/gCResourceObject.h"

struct SDeleteUnlessPooled {
    void operator()(gCResourceObject* object) const {
        if (object && !object->IsPooled()) {
            delete object;
        }
    }
};
