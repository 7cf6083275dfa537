#include "batch/page_record.h"

namespace tagwright {

std::string_view resultName(PageResult result)
{
    switch (result) {
    case PageResult::Written:
        return "written";
    case PageResult::Unchanged:
        return "unchanged";
    case PageResult::DoneAlready:
        return "done already";
    case PageResult::PassedOver:
        return "passed over";
    case PageResult::Failed:
        break;
    }
    return "failed";
}

} // namespace tagwright
