#include "narrow_game.h"

#include <zip.h>

#include <cstdint>
#include <cstring>

std::vector<std::pair<std::string, std::string>> narrow_game() {
    std::vector<uint8_t> rom(0x40000, 0);
    const uint8_t vectors[] = {0x00, 0xFF, 0x80, 0x00, 0x00, 0x00, 0x02, 0x00};
    std::memcpy(rom.data(), vectors, sizeof vectors);
    const uint8_t code[] = {
        0x33, 0xFC, 0x10, 0x0F, 0x00, 0x8C, 0x00, 0x00,  // move.w #$100F,$8C0000
        0x33, 0xFC, 0x81, 0x44, 0x00, 0xC0, 0x00, 0x04,  // display on
        0x33, 0xFC, 0x8C, 0x00, 0x00, 0xC0, 0x00, 0x04,  // 256 pixels wide
        0x60, 0xFE,                                      // bra.s *
    };
    std::memcpy(rom.data() + 0x200, code, sizeof code);
    std::string even, odd;
    for (size_t i = 0; i < rom.size(); i += 2) {
        even += char(rom[i]);
        odd += char(rom[i + 1]);
    }
    return {{"epr13112.32", even}, {"epr13111.31", odd}};
}

bool write_zip(const std::string& path, const std::vector<std::pair<std::string, std::string>>& members) {
    zipFile zf = zipOpen(path.c_str(), APPEND_STATUS_CREATE);
    if (!zf) return false;
    bool ok = true;
    for (const auto& [name, bytes] : members) {
        zip_fileinfo info{};
        ok = ok && zipOpenNewFileInZip(zf, name.c_str(), &info, nullptr, 0, nullptr, 0, nullptr, Z_DEFLATED, 6) == ZIP_OK &&
             zipWriteInFileInZip(zf, bytes.data(), unsigned(bytes.size())) == ZIP_OK && zipCloseFileInZip(zf) == ZIP_OK;
    }
    return zipClose(zf, nullptr) == ZIP_OK && ok;
}
