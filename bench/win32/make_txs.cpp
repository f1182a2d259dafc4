// Makes protected documents for the benchmarks: make_txs.exe <plain file> <password> <txs file>.
#include <fstream>
#include <iterator>
#include <string>

#include "base/codepage.h"
#include "protect/cipher.h"

int main(int argc, char** argv) {
    if (argc != 4) return 2;
    std::ifstream in(argv[1], std::ios::binary);
    const Bytes plain((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const std::string password = argv[2];
    Bytes file;
    protect::MaskDocument(Text(password.begin(), password.end()), base::FromCodePage(plain), file);
    std::ofstream(argv[3], std::ios::binary).write(file.data(), static_cast<std::streamsize>(file.size()));
    return 0;
}
