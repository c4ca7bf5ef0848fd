#include "ui/main_window/counter_slot.h"

const char* StatusText(CounterState state) {
    switch (state) {
    case VIEWER:
        return "VIEWER";
    case DEMO:
        return "DEMO";
    case NEW:
        return "NEW";
    case RUNNING:
        return "RUNNING";
    case STOPPED:
        return "STOPPED";
    }
    return nullptr;
}
