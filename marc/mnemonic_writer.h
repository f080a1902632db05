#pragma once
// Writes records in the text form described in marc/mnemonic.h.

#include "marc/mnemonic.h"

#include <string>

namespace marc {

class Record;
class RecordView;

// Appends the record's lines and the empty line that ends it.
void appendMnemonic(const Record& record, std::string& out);
void appendMnemonic(const RecordView& record, std::string& out);

} // namespace marc
