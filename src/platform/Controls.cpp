#include "platform/Controls.h"

void TControl::Fire(const TNotifyEvent& event) {
  if (event && dispatcher_ != nullptr) dispatcher_->Dispatch(event, this);
}
