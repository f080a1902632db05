#include "json_form.h"

#include "marc/record.h"
#include "marc/record_view.h"

#include <nlohmann/json.hpp>
#include <string>

namespace velumar::marctool {

namespace {

std::string text(std::string_view bytes) {
    return std::string(bytes);
}

template <typename FieldLike> nlohmann::ordered_json fieldJson(const FieldLike& field) {
    nlohmann::ordered_json out = nlohmann::ordered_json::object();
    out["tag"] = text(field.tag());
    if (field.isControl()) {
        out["value"] = text(field.value());
        return out;
    }
    out["indicators"] = text(field.indicators());
    nlohmann::ordered_json subfields = nlohmann::ordered_json::array();
    for (const auto& subfield : field.subfields()) {
        const std::string code =
            subfield.code == marc::NoSubfieldCode ? std::string() : std::string(1, subfield.code);
        subfields.push_back({{"code", code}, {"value", text(subfield.value)}});
    }
    out["subfields"] = std::move(subfields);
    return out;
}

} // namespace

nlohmann::ordered_json toJson(const marc::RecordView& record) {
    nlohmann::ordered_json fields = nlohmann::ordered_json::array();
    for (const marc::FieldView field : record)
        fields.push_back(fieldJson(field));
    return {{"offset", record.offset()}, {"leader", text(record.leader())}, {"fields", fields}};
}

nlohmann::ordered_json toJson(const marc::Record& record) {
    nlohmann::ordered_json fields = nlohmann::ordered_json::array();
    for (const marc::Field& field : record.fields())
        fields.push_back(fieldJson(field));
    return {{"leader", text(record.leader().text())}, {"fields", fields}};
}

} // namespace velumar::marctool
