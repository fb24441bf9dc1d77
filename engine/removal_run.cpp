#include "removal_run.hpp"

#include "removal_run_core.hpp"

namespace kezurin {

void RunRemoval(RemovalHost& host, const CodePage& codePage) noexcept {
    detail::RunRemovalOn(host, codePage);
}

}  // namespace kezurin
