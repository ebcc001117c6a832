#pragma once

#include "platform/desktop_services.h"

#include <deque>
#include <vector>

namespace quillmark::test {

// Answers the panels from a script and records what the view model asked of the desktop.
class FakeDesktopServices final : public DesktopServices {
public:
    std::deque<std::optional<std::filesystem::path>> folderAnswers;
    std::deque<std::optional<std::filesystem::path>> saveAnswers;
    std::deque<bool> confirmAnswers;

    std::vector<FolderChooserRequest> folderRequests;
    std::vector<ConfirmationRequest> confirmRequests;
    std::vector<std::filesystem::path> suggestedSaves;
    QString clipboard;

    std::optional<std::filesystem::path> chooseFolder(const FolderChooserRequest& request) override
    {
        folderRequests.push_back(request);
        return next(folderAnswers);
    }

    std::optional<std::filesystem::path>
    chooseSaveFile(const QString&, const std::filesystem::path& suggested) override
    {
        suggestedSaves.push_back(suggested);
        return next(saveAnswers);
    }

    bool confirm(const ConfirmationRequest& request) override
    {
        confirmRequests.push_back(request);
        return next(confirmAnswers);
    }

    void setClipboardText(const QString& text) override { clipboard = text; }

private:
    // Unanswered questions are cancelled.
    template <class Answer> static Answer next(std::deque<Answer>& answers)
    {
        if (answers.empty())
            return Answer{};
        Answer answer = answers.front();
        answers.pop_front();
        return answer;
    }
};

} // namespace quillmark::test
