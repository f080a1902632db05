#pragma once
// The real MARC files whose records are laid out as a writer lays them out,
// so writing what was read gives the file back byte for byte. Shared by the
// library's tests and the command-line tool's.

#include <string>
#include <vector>

namespace marc::testing {

inline const std::vector<std::string> WellFormedFiles = {
    "eg_auth-subset100.mrc",
    "eg_hebrew.marc",
    "eg_lul_fre_100.mrc",
    "eg_nepali.marc",
    "eg_serials_mfhd.mrc",
    "m4j_065001035.mrc",
    "m4j_bad_leaders_10_11.mrc",
    "m4j_brkrtest.mrc",
    "m4j_brkrtest_UTF8.mrc",
    "m4j_chabon.mrc",
    "m4j_kan1222221.mrc",
    "m4j_pride-and-prejudice-fixed.mrc",
    "m4j_sample1.mrc",
    "pym_1251.dat",
    "pym_alphatag.dat",
    "pym_diacritic.dat",
    "pym_marc8.dat",
    "pym_one.dat",
    "pym_regression45.dat",
    "pym_test.dat",
    "pym_utf8_invalid.mrc",
    "pym_utf8_with_leader_flag.dat",
    "pym_utf8_without_leader_flag.dat",
};

} // namespace marc::testing
