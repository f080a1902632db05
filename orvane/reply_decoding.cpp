#include "reply_decoding.h"

#include "protocol/json_codec.h"
#include "protocol/status.h"

namespace orvane {

TransportResult transportFailure(qint32 status, std::string error) {
    TransportResult result;
    result.status = status;
    result.error = std::move(error);
    return result;
}

TransportResult decodeReply(int httpStatus, std::string_view body) {
    if (httpStatus == 200) {
        auto decoded = wire::decodeAnswer(body);
        if (!decoded.value)
            return transportFailure(wire::status::BadAnswer,
                                    "the server's answer could not be read: " + decoded.error);
        TransportResult result;
        result.status = decoded.value->status;
        result.answer = std::move(*decoded.value);
        return result;
    }

    std::string error = wire::decodeError(body);
    if (error.empty())
        error = "the server replied with HTTP status " + std::to_string(httpStatus);
    if (httpStatus == 401)
        return transportFailure(wire::status::NotLoggedIn, std::move(error));
    if (httpStatus >= 400 && httpStatus < 500)
        return transportFailure(wire::status::Rejected, std::move(error));
    return transportFailure(wire::status::BadAnswer, std::move(error));
}

} // namespace orvane
