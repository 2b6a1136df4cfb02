// Parts whose bytes are made when the package is saved: made once per save,
// one at a time, packed and read back like any part; a part that cannot be
// made fails the save and leaves the target as it was.

#include <fstream>
#include <new>
#include <stdexcept>

#include "EngineFixtures.h"
#include "platform/visio/package/Package.h"

using namespace enginetest;

namespace {

std::string bigText(std::size_t size, char fill) {
    std::string text = "<?xml version='1.0' encoding='utf-8' ?>\r\n<Big>";
    text.append(size, fill);
    return text + "</Big>";
}

TEST(PackageWriteLater, PartsAreMadeOncePerSaveAndReadBack) {
    ScratchDir dir;
    const std::string first = dir.file("first.vsdx");
    int made = 0;
    {
        auto package = visio::Package::create();
        package->write("/small.xml", "<a/>");
        package->writeLater("/big.xml", [&] {
            ++made;
            return bigText(3u << 20, 'x');
        });
        EXPECT_EQ(package->read("/big.xml").size(), bigText(3u << 20, 'x').size());
        EXPECT_EQ(made, 1);
        package->save(first);
        EXPECT_EQ(made, 2) << "made once more by the save, and only once";
    }
    auto reopened = visio::Package::open(first);
    EXPECT_EQ(reopened->read("/small.xml"), "<a/>");
    EXPECT_EQ(reopened->read("/big.xml"), bigText(3u << 20, 'x'));

    // Replacing parts of an opened package, saved over its own file.
    reopened->writeLater("/big.xml", [&] {
        ++made;
        return bigText(1u << 10, 'y');
    });
    reopened->writeLater("/new.xml", [] { return std::string("<new/>"); });
    reopened->save(first);
    EXPECT_EQ(made, 3);
    auto again = visio::Package::open(first);
    EXPECT_EQ(again->read("/big.xml"), bigText(1u << 10, 'y'));
    EXPECT_EQ(again->read("/new.xml"), "<new/>");
    EXPECT_EQ(again->read("/small.xml"), "<a/>");
}

TEST(PackageWriteLater, APartThatCannotBeMadeFailsTheSave) {
    ScratchDir dir;
    const std::string target = dir.file("kept.vsdx");
    {
        std::ofstream(target) << "what was there";
    }
    auto package = visio::Package::create();
    package->write("/fine.xml", "<a/>");
    package->writeLater("/broken.xml", []() -> std::string { throw std::bad_alloc(); });
    EXPECT_THROW(package->save(target), visio::VisioError);
    std::ifstream in(target);
    std::string kept((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(kept, "what was there");
}

} // namespace
