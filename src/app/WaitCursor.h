// The wait cursor over the whole program for the life of the object.
#pragma once

#include "platform/ui/Services.h"

class CWaitCursor {
public:
    CWaitCursor() { fw::Windows().BeginWaitCursor(); }
    ~CWaitCursor() { fw::Windows().EndWaitCursor(); }
    CWaitCursor(const CWaitCursor&) = delete;
    CWaitCursor& operator=(const CWaitCursor&) = delete;
};
