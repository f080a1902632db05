#include "message.h"

namespace orvane::wire {

const char* kindName(Kind kind) {
    switch (kind) {
    case Kind::Text: return "text";
    case Kind::Number: return "number";
    case Kind::Bool: return "boolean";
    }
    return "?";
}

const Field* findField(const Fields& fields, std::string_view key) {
    for (const auto& f : fields)
        if (f.key == key)
            return &f;
    return nullptr;
}

} // namespace orvane::wire
