// Fuzz entry over the wire's JSON: any body a client may send is decoded as
// a request and as an answer. A body that decodes is encoded again and
// decodes to the same message; a refused one always says why.
#include "protocol/json_codec.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

namespace {

void check(bool ok) {
    if (!ok)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view body(reinterpret_cast<const char*>(data), size);
    using namespace orvane::wire;

    const Decoded<Request> request = decodeRequest(body);
    check(request.value.has_value() != !request.error.empty());
    if (request.value) {
        check(request.value->fields.size() <= MaxRequestFields);
        const Decoded<Request> again = decodeRequest(encodeRequest(*request.value));
        // Text that is not UTF-8 cannot reach a decoded request, so none is replaced.
        check(again.value.has_value() && *again.value == *request.value);
    }

    const Decoded<Answer> answer = decodeAnswer(body);
    check(answer.value.has_value() != !answer.error.empty());
    if (answer.value) {
        const Decoded<Answer> again = decodeAnswer(encodeAnswer(*answer.value));
        check(again.value.has_value() && *again.value == *answer.value);
    }
    decodeError(body);
    return 0;
}
