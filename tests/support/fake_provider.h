#pragma once

#include "measure/media_duration_provider.h"
#include "measure/video_duration_service.h"

#include <functional>

namespace quillmark::test {

// A provider that answers from a function, for tests of what lies above the providers.
class FakeProvider final : public MediaDurationProvider {
public:
    using Answer = std::function<Expected<double>(const std::filesystem::path&, std::stop_token)>;
    explicit FakeProvider(Answer answer, QString identity = {})
        : m_answer(std::move(answer))
        , m_identity(std::move(identity))
    {
    }

    Expected<double> duration(const MediaFile& file, std::stop_token stop) const override
    {
        return m_answer(file.path, stop);
    }

    QString identity() const override { return m_identity; }

private:
    Answer m_answer;
    QString m_identity;
};

// What a view model measures with, answered from a function.
inline auto measuredBy(FakeProvider::Answer answer)
{
    return [answer = std::move(answer)](const auto&) {
        return VideoDurationService({std::make_shared<FakeProvider>(answer)});
    };
}

} // namespace quillmark::test
