// sign_properties: makes the program's properties\partner.xml and its signature
// file from the hand-written source.
//   sign_properties <source.xml> <partner.xml> <partner.xml.sig>
#include <cstdio>
#include <fstream>
#include <sstream>

#include "framework/app/PropertiesSignature.h"
#include "tools/properties/PropertiesSigner.h"

namespace {

bool WriteText(const std::string& path, const std::string& text)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
    out.close();
    return static_cast<bool>(out);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 4) {
        std::fprintf(stderr, "usage: sign_properties <source.xml> <partner.xml> <partner.xml.sig>\n");
        return 2;
    }
    std::ifstream in(argv[1], std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "sign_properties: cannot read %s\n", argv[1]);
        return 1;
    }
    std::stringstream source;
    source << in.rdbuf();

    PropertiesSigner::SignedFile signedFile;
    if (!PropertiesSigner::SignFile(source.str(), Zant::PROPERTIES_SIGNING_NUMBER, signedFile)) {
        std::fprintf(stderr, "sign_properties: %s cannot be signed\n", argv[1]);
        return 1;
    }
    // The program's own check, before anything is written.
    const std::string& text = signedFile.mText;
    if (!Zant::CheckPropertiesSignature(reinterpret_cast<const uint8_t*>(text.data()), text.size(),
                                        signedFile.mSignature)) {
        std::fprintf(stderr, "sign_properties: the signature does not check\n");
        return 1;
    }
    if (!WriteText(argv[2], text) || !WriteText(argv[3], signedFile.mSignature)) {
        std::fprintf(stderr, "sign_properties: cannot write the output\n");
        return 1;
    }
    std::printf("sign_properties: signed %s (nonce %d)\n", argv[2], signedFile.mNonce);
    return 0;
}
