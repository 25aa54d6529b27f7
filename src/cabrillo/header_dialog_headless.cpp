#include "cabrillo/header_dialog.h"

namespace cabrillo {

bool ShowHeaderDialog(HeaderDialogValues&) {
    return true;
}

}  // namespace cabrillo
