#include "UiHost.h"

#include "Failure.h"

namespace gyro {

void UiHost::tell(const Failure& failure)
{
    if (!failure.toldBefore)
        message(failure.shownText(), MsgButtons::Ok, failure.icon, failure.title);
}

} // namespace gyro
