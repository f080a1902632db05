#pragma once
// The objects that live for the whole run, owned in this one place.

#include "general_helper.h"
#include "placeholder_window.h"
#include "request_channel.h"
#include "session.h"

#include <memory>

namespace velumar {

struct SessionState {
    orvane::Session session;
    orvane::RequestChannel channel;
    orvane::GeneralHelper helper;
    std::unique_ptr<PlaceholderWindow> mainWindow;
};

} // namespace velumar
