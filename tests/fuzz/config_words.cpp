// Configuration words: the input is vortan.cfg.
#include <string>
#include <vector>

#include "fuzz_support.h"
#include "host/settings/option_rules.h"
#include "host/settings/options.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string path = fuzz::folder().path("vortan.cfg");
    fuzz::write_file(path, data, size);
    set_option_defaults();
    std::vector<std::string> words;
    fuzz::require(parse_file(path.c_str(), words) == 1);
    parse_args(words);  // every word through apply_option, then finish_options
    take_refused_options();  // as the program does once the file is read
    return 0;
}
