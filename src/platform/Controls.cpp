#include "platform/Controls.h"

#include "platform/Application.h"

void TControl::Fire(const TNotifyEvent& event) {
  if (event) Application->Dispatch(event, this);
}
