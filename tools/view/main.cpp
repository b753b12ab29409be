// hearthglow-view: one model or one effect of the program's content alone in a window, for content
// work and for pictures of them in the tests. It runs the program's own run (window, loading,
// frame loop, shutdown) with the viewer's scene in place of the room.
//
//   hearthglow-view --model NAME  [--window WxH] [--frames N] [--screenshot FILE.png] [--fixed-step S]
//                                 [--clock YYYY-MM-DDTHH:MM:SS] [--seed N] [--no-vsync] [--no-vbo]
//   hearthglow-view --effect NAME [the same options]
#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/command_line.h"
#include "app/saver.h"
#include "archive/embedded.h"
#include "platform/platform.h"
#include "view/effect_viewer.h"
#include "view/model_viewer.h"

namespace {

constexpr const char* kUsage =
    "usage: hearthglow-view (--model NAME | --effect NAME) [--window WxH] [--frames N] [--screenshot FILE.png] "
    "[--fixed-step S] [--clock YYYY-MM-DDTHH:MM:SS] [--seed N] [--no-vsync] [--no-vbo]";

struct ViewerChoice {
    std::optional<std::string> model;
    std::optional<std::string> effect;
    std::vector<const char*> rest;  // the run's own options, for the program's parser
    bool understood = true;
};

// Takes --model NAME and --effect NAME out; the rest is the run's.
ViewerChoice chooseViewer(int argc, char** argv) {
    ViewerChoice choice;
    choice.rest.push_back(argv[0]);
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        const bool model = arg == "--model" || arg == "-model";
        if (model || arg == "--effect" || arg == "-effect") {
            if (i + 1 >= argc || argv[i + 1][0] == '-' || argv[i + 1][0] == '\0') {
                choice.understood = false;
                break;
            }
            (model ? choice.model : choice.effect) = argv[++i];
        } else {
            choice.rest.push_back(argv[i]);
        }
    }
    choice.understood = choice.understood && choice.model.has_value() != choice.effect.has_value();
    bool window = false;
    for (const char* arg : choice.rest) window = window || std::string_view(arg) == "--window";
    if (!window) choice.rest.push_back("--window");
    return choice;
}

std::unique_ptr<hg::ScenePass> makeViewer(const ViewerChoice& choice, const hg::SceneContext& context) {
    if (choice.effect) {
        auto viewer = std::make_unique<hg::EffectViewer>(*choice.effect, context.files, context.textures, context.log,
                                                         context.window);
        viewer->start(context.options.seed);
        return viewer;
    }
    auto viewer = std::make_unique<hg::ModelViewer>(context.files, context.textures, context.window,
                                                    [](const std::string& text) { hg::platform::messageBox(text, "Error"); });
    viewer->load(*choice.model, context.capabilities.vertexBuffers && !context.options.noVertexBuffers);
    return viewer;
}

}  // namespace

int main(int argc, char** argv) {
    const ViewerChoice choice = chooseViewer(argc, argv);
    const hg::CommandLine commandLine = hg::parseCommandLine(static_cast<int>(choice.rest.size()), choice.rest.data());
    if (commandLine.outcome == hg::CommandLine::Outcome::Help) {
        std::printf("%s\n", kUsage);
        return 0;
    }
    if (!choice.understood || commandLine.outcome != hg::CommandLine::Outcome::Dispatch || commandLine.options.host) {
        const std::string why = commandLine.error.empty() ? "one --model NAME or one --effect NAME" : commandLine.error;
        std::fprintf(stderr, "hearthglow-view: %s; %s\n", why.c_str(), kUsage);
        return 2;
    }
    static hg::Saver saver(hg::ArchiveImages{hg::embeddedMainArchive(), hg::embeddedOverlayArchive(), true});
    return saver.start(commandLine, [&choice](const hg::SceneContext& context) { return makeViewer(choice, context); });
}
