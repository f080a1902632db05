#include "json_codec.h"

#include <nlohmann/json.hpp>

#include <limits>

namespace orvane::wire {

using nlohmann::json;

namespace {

json fieldsToJson(const Fields& fields) {
    json array = json::array();
    for (const auto& f : fields) {
        json value = std::visit([](const auto& v) { return json(v); }, f.value);
        array.push_back(json::array({f.key, std::move(value)}));
    }
    return array;
}

// Reads [["KEY", value], ...]; the JSON type of each value decides its kind.
bool fieldsFromJson(const json& array, Fields& out, std::string& error) {
    if (!array.is_array()) {
        error = "\"fields\" must be an array";
        return false;
    }
    out.reserve(array.size());
    for (const auto& pair : array) {
        if (!pair.is_array() || pair.size() != 2 || !pair[0].is_string()) {
            error = "each field must be a [key, value] pair with a text key";
            return false;
        }
        const auto& v = pair[1];
        Value value;
        if (v.is_string()) {
            value = v.get<std::string>();
        } else if (v.is_boolean()) {
            value = v.get<bool>();
        } else if (v.is_number_integer()) {
            const auto n = v.get<std::int64_t>();
            if (n < std::numeric_limits<std::int32_t>::min() ||
                n > std::numeric_limits<std::int32_t>::max()) {
                error = "field " + pair[0].get<std::string>() + " is outside the 32-bit range";
                return false;
            }
            value = static_cast<std::int32_t>(n);
        } else {
            error = "field " + pair[0].get<std::string>() +
                    " must be text, a whole number or a boolean";
            return false;
        }
        out.push_back({pair[0].get<std::string>(), std::move(value)});
    }
    return true;
}

json parse(std::string_view body, std::string& error) {
    json doc = json::parse(body, nullptr, /*allow_exceptions=*/false);
    if (doc.is_discarded())
        error = "body is not valid JSON";
    else if (!doc.is_object())
        error = "body must be a JSON object";
    return doc;
}

} // namespace

std::string encodeRequest(const Request& request) {
    return json{{"code", request.code}, {"fields", fieldsToJson(request.fields)}}.dump(
        -1, ' ', false, json::error_handler_t::replace);
}

std::string encodeAnswer(const Answer& answer) {
    return json{{"status", answer.status}, {"fields", fieldsToJson(answer.fields)}}.dump(
        -1, ' ', false, json::error_handler_t::replace);
}

std::string encodeError(std::string_view message) {
    return json{{"error", message}}.dump(-1, ' ', false, json::error_handler_t::replace);
}

Decoded<Request> decodeRequest(std::string_view body) {
    Decoded<Request> result;
    json doc = parse(body, result.error);
    if (!result.error.empty())
        return result;
    auto code = doc.find("code");
    if (code == doc.end() || !code->is_string() || code->get_ref<const std::string&>().empty()) {
        result.error = "\"code\" must be a non-empty text";
        return result;
    }
    Request request;
    request.code = code->get<std::string>();
    if (auto fields = doc.find("fields"); fields != doc.end()) {
        if (!fieldsFromJson(*fields, request.fields, result.error))
            return result;
    }
    result.value = std::move(request);
    return result;
}

Decoded<Answer> decodeAnswer(std::string_view body) {
    Decoded<Answer> result;
    json doc = parse(body, result.error);
    if (!result.error.empty())
        return result;
    auto status = doc.find("status");
    if (status == doc.end() || !status->is_number_integer()) {
        result.error = "\"status\" must be a whole number";
        return result;
    }
    Answer answer;
    answer.status = status->get<std::int32_t>();
    if (auto fields = doc.find("fields"); fields != doc.end()) {
        if (!fieldsFromJson(*fields, answer.fields, result.error))
            return result;
    }
    result.value = std::move(answer);
    return result;
}

std::string decodeError(std::string_view body) {
    json doc = json::parse(body, nullptr, false);
    if (doc.is_object()) {
        auto e = doc.find("error");
        if (e != doc.end() && e->is_string())
            return e->get<std::string>();
    }
    return {};
}

} // namespace orvane::wire
