#include "common/tests/scripted_dialogs.h"

namespace zr {

std::vector<ScriptedDialogs::Shown> ScriptedDialogs::shownOf(Kind kind) const {
    std::vector<Shown> out;
    for (const auto& s : shown_)
        if (s.kind == kind)
            out.push_back(s);
    return out;
}

} // namespace zr
