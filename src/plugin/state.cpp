#include "plugin/state.h"

engine::Contest& State() {
    static engine::Contest contest(engine::Files::All());
    return contest;
}
