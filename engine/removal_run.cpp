#include "kezurin/removal_run.hpp"

#include "kezurin/text_host.hpp"
#include "removal_run_core.hpp"

namespace kezurin {

void RunRemoval(RemovalHost& host, const CodePage& codePage) noexcept {
    // The in-memory host takes the fast path, its calls inlined.
    if (auto* text = dynamic_cast<TextHost*>(&host)) return detail::RunRemovalOnTextHost(*text, codePage);
    detail::RunRemovalOn(host, codePage);
}

}  // namespace kezurin
