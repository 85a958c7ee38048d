#pragma once
#include "link/UserServices.h"

namespace qzr {

// The program's messages as modal message boxes captioned with the application's title.
class TMessageBoxes : public IUserMessages {
public:
    void ShowMessage(const std::string& text) override;
    bool Confirm(const std::string& question) override;   // Yes and No, No the default
};

} // namespace qzr
