// kalemar-dump: prints what a drawing holds as JSON.

#include <algorithm>
#include <exception>
#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

#include "host/DrawingDump.h"

namespace {

const char* const kHelp = R"(Usage: kalemar-dump [--page NAME|INDEX] FILE.vsdx
       kalemar-dump STENCIL.vssx

Prints what the drawing holds as JSON on standard output:
  {"file": FILE,
   "pages": [{"name", "id",
              "shapes": [{"id", "name",
                          "kind": 0 object, 1 procedure, 3 other,
                          "text": the shape's own text,
                          "shownText": the text a reader draws, with the
                                       values of its text fields,
                          "properties": [formula of property row 0, 1, ...],
                          "user0": formula of user row 0, or null,
                          "pinX", "pinY": formulas,
                          "shapes": [sub-shapes of a group, the same way]}],
              "connects": [{"from": shape ID, "fromCell",
                            "to": shape ID, "toCell"}]}]}
Formulas are given as the drawing stores them ("\"Склад\"", "105 mm").

A stencil (.vssx, the bundled ones or your own) prints its masters instead:
  {"file": FILE,
   "masters": [{"id", "nameU", "name",
                "shapes": [shapes as above, each also with
                           "propertyRows": [{"name", "label", "value"}],
                           "userRows": [{"name", "prompt", "value"}]]}]}

  --page NAME|INDEX   only this page of a drawing, by name or 1-based index
  --help              this text

Exit codes: 0 printed; 1 the drawing could not be read (the reason goes to
standard error).
)";

struct DumpRequest {
    bool help = false;
    std::string page;
    std::string file;
};

DumpRequest parseArguments(const std::vector<std::string>& args)
{
    DumpRequest request;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--help") {
            request.help = true;
        } else if (args[i] == "--page") {
            if (i + 1 >= args.size()) {
                throw std::runtime_error("--page needs a page name or number");
            }
            request.page = args[++i];
        } else if (args[i].rfind("--", 0) == 0) {
            throw std::runtime_error("unknown option " + args[i] + " (kalemar-dump --help)");
        } else if (!request.file.empty()) {
            throw std::runtime_error("one drawing at a time (kalemar-dump --help)");
        } else {
            request.file = args[i];
        }
    }
    if (!request.help && request.file.empty()) {
        throw std::runtime_error("no drawing given (kalemar-dump --help)");
    }
    return request;
}

// The file is opened by its own path, as a drawing or a stencil, beside the
// blank drawing and the bundled stencils of a fresh session: a stencil of the
// user's that bears a bundled stencil's name is still the one printed.
int dump(const DumpRequest& request)
{
    visio::SessionOptions options;
    options.stencilFolders = visio::Application::DefaultStencilFolders();
    visio::Application application(options);
    const visio::Document document =
        application.GetDocuments().OpenEx(std::filesystem::absolute(request.file).string(), 6);
    std::cout << host::DumpDocument(document, request.file, request.page);
    std::cout.flush();
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    try {
        const DumpRequest request = parseArguments(std::vector<std::string>(argv + std::min(argc, 1), argv + argc));
        if (request.help) {
            std::cout << kHelp;
            return 0;
        }
        return dump(request);
    } catch (const std::exception& error) {
        std::cerr << "kalemar-dump: " << error.what() << '\n';
        return 1;
    }
}
