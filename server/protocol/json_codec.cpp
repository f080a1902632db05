#include "json_codec.h"

#include <nlohmann/json.hpp>

#include <algorithm>
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

// Request codes are short words of visible ASCII: anything else is no code
// the server knows, and would only carry line breaks or floods into its log.
bool isRequestCode(std::string_view code) {
    return code.size() <= MaxRequestCodeLength &&
           std::all_of(code.begin(), code.end(), [](char c) { return c > ' ' && c < 0x7f; });
}

// Builds a request or an answer as the parser meets each token, so a body
// is refused the moment it goes where no message goes: deeper than
// {"fields": [[key, value]]}, a member given twice, more fields than a
// request has. Nothing of a refused body is built beyond that point.
class MessageReader final : public nlohmann::json_sax<json> {
public:
    enum class Kind { Request, Answer };
    explicit MessageReader(Kind kind) : kind_(kind) {}

    bool null() override { return other("null"); }
    bool boolean(bool value) override { return take(Value(value)); }
    bool number_integer(number_integer_t value) override { return whole(value); }
    bool number_unsigned(number_unsigned_t value) override {
        // Anything past the signed range is past the 32-bit range too.
        constexpr auto Highest = static_cast<number_unsigned_t>(INT64_MAX);
        return whole(value > Highest ? INT64_MAX : static_cast<std::int64_t>(value));
    }
    bool number_float(number_float_t, const string_t&) override { return other("a fraction"); }
    bool binary(binary_t&) override { return other("binary data"); }
    bool string(string_t& text) override { return take(Value(std::move(text))); }

    bool start_object(std::size_t) override {
        if (skipping_ > 0 || (depth_ == 1 && member_ == Member::Other))
            return skip();
        if (depth_ == 0) {
            depth_ = 1;
            return true;
        }
        return container();
    }
    bool key(string_t& name) override {
        if (skipping_ > 0)
            return true;
        const bool head = name == (kind_ == Kind::Request ? "code" : "status");
        const Member member = head ? Member::Head : name == "fields" ? Member::Fields : Member::Other;
        if (member == Member::Other && kind_ == Kind::Request)
            return fail("a request has no member \"" + name + "\"");
        if ((member == Member::Head && sawHead_) || (member == Member::Fields && sawFields_))
            return fail("\"" + name + "\" is given twice");
        sawHead_ = sawHead_ || member == Member::Head;
        sawFields_ = sawFields_ || member == Member::Fields;
        member_ = member;
        return true;
    }
    bool end_object() override {
        if (skipping_ > 0) {
            --skipping_;
            return true;
        }
        depth_ = 0;
        return true;
    }
    bool start_array(std::size_t) override {
        if (skipping_ > 0 || (depth_ == 1 && member_ == Member::Other))
            return skip();
        if (depth_ == 1 && member_ == Member::Fields) {
            depth_ = 2;
            return true;
        }
        if (depth_ == 2) {
            if (kind_ == Kind::Request && fields_.size() >= MaxRequestFields)
                return fail("a request has more than " + std::to_string(MaxRequestFields) +
                            " fields");
            depth_ = 3;
            position_ = 0;
            return true;
        }
        return container();
    }
    bool end_array() override {
        if (skipping_ > 0) {
            --skipping_;
            return true;
        }
        if (depth_ == 3) {
            if (position_ != 2)
                return fail(FieldShape);
            depth_ = 2;
            return true;
        }
        depth_ = 1;
        member_ = Member::None;
        return true;
    }
    bool parse_error(std::size_t, const std::string&, const nlohmann::detail::exception&) override {
        return fail("body is not valid JSON");
    }

    // Empty unless the body was refused.
    std::string error;
    bool sawHead() const { return sawHead_; }
    std::string code;
    std::int32_t status = 0;
    Fields fields_;

private:
    enum class Member { None, Head, Fields, Other };
    static constexpr const char* FieldShape =
        "each field must be a [key, value] pair with a text key";
    // Members an answer has that this reader does not know: skipped, to a point.
    static constexpr int MaxSkipped = 2;

    bool fail(std::string why) {
        if (error.empty())
            error = std::move(why);
        return false;
    }
    bool headWrong() {
        if (member_ == Member::Fields)
            return fail("\"fields\" must be an array");
        return fail(kind_ == Kind::Request ? "\"code\" must be a non-empty text"
                                           : "\"status\" must be a whole number");
    }
    bool skip() {
        if (++skipping_ > MaxSkipped)
            return fail("the body is nested deeper than a request is");
        return true;
    }
    // An array or object where the message has none.
    bool container() {
        if (depth_ == 0)
            return fail("body must be a JSON object");
        if (depth_ == 1)
            return headWrong();
        if (depth_ == 2)
            return fail(FieldShape);
        return fail("the body is nested deeper than a request is");
    }

    // A scalar, where the depth and the member say.
    bool take(Value value) {
        if (skipping_ > 0)
            return true;
        switch (depth_) {
        case 0:
            return fail("body must be a JSON object");
        case 1:
            return head(value);
        case 3:
            return fieldPart(value);
        default:
            return fail(FieldShape);
        }
    }
    bool head(Value& value) {
        if (member_ == Member::Other)
            return true;
        if (member_ == Member::Head && kind_ == Kind::Request) {
            auto* text = std::get_if<std::string>(&value);
            if (!text || text->empty())
                return headWrong();
            if (!isRequestCode(*text))
                return fail("\"code\" must be a request code: up to " +
                            std::to_string(MaxRequestCodeLength) +
                            " letters, digits and punctuation");
            code = std::move(*text);
            return true;
        }
        if (member_ == Member::Head) {
            const auto* number = std::get_if<std::int32_t>(&value);
            if (!number)
                return headWrong();
            status = *number;
            return true;
        }
        return headWrong();
    }
    bool fieldPart(Value& value) {
        if (position_ == 0) {
            auto* text = std::get_if<std::string>(&value);
            if (!text)
                return fail(FieldShape);
            key_ = std::move(*text);
            position_ = 1;
            return true;
        }
        if (position_ == 1) {
            fields_.push_back({std::move(key_), std::move(value)});
            key_.clear();
            position_ = 2;
            return true;
        }
        return fail(FieldShape);
    }
    bool whole(std::int64_t value) {
        if (value >= std::numeric_limits<std::int32_t>::min() &&
            value <= std::numeric_limits<std::int32_t>::max())
            return take(Value(static_cast<std::int32_t>(value)));
        if (skipping_ == 0 && depth_ == 3 && position_ == 1)
            return fail("field " + key_ + " is outside the 32-bit range");
        if (skipping_ == 0 && depth_ == 1 && member_ == Member::Head)
            return fail("\"" + std::string(kind_ == Kind::Request ? "code" : "status") +
                        "\" is outside the 32-bit range");
        return take(Value(0));
    }
    bool other(const char* what) {
        if (skipping_ > 0 || (depth_ == 1 && member_ == Member::Other))
            return true;
        if (depth_ == 3 && position_ == 1)
            return fail("field " + key_ + " must be text, a whole number or a boolean, not " +
                        what);
        if (depth_ == 1)
            return headWrong();
        return fail(depth_ == 0 ? "body must be a JSON object" : FieldShape);
    }

    Kind kind_;
    int depth_ = 0; // 1 in the message, 2 in its fields, 3 in one field
    int skipping_ = 0;
    Member member_ = Member::None;
    bool sawHead_ = false;
    bool sawFields_ = false;
    int position_ = 0; // within a field: 0 key next, 1 value next, 2 complete
    std::string key_;
};

// Runs the reader over a body; false, with reader.error set, when refused.
bool readMessage(std::string_view body, MessageReader& reader) {
    // The parser would take a NUL as the end of the input and ignore what follows.
    if (body.find('\0') != std::string_view::npos)
        reader.error = "body holds a NUL octet";
    else if (!json::sax_parse(body, &reader, json::input_format_t::json, /*strict=*/true) &&
             reader.error.empty())
        reader.error = "body is not valid JSON";
    return reader.error.empty();
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
    MessageReader reader(MessageReader::Kind::Request);
    if (!readMessage(body, reader))
        result.error = std::move(reader.error);
    else if (!reader.sawHead())
        result.error = "\"code\" must be a non-empty text";
    else
        result.value = Request{std::move(reader.code), std::move(reader.fields_)};
    return result;
}

Decoded<Answer> decodeAnswer(std::string_view body) {
    Decoded<Answer> result;
    MessageReader reader(MessageReader::Kind::Answer);
    if (!readMessage(body, reader))
        result.error = std::move(reader.error);
    else if (!reader.sawHead())
        result.error = "\"status\" must be a whole number";
    else
        result.value = Answer{reader.status, std::move(reader.fields_)};
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
