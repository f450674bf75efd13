#include "librarian/ExchangeService.h"

namespace
{
class UnavailableExchange : public ExchangeService
{
public:
    void search (const juce::String&, int, int, std::function<void (Page)> done) override
    {
        Page page;
        page.error = unavailableText;

        if (done)
            done (page);
    }
};
} // namespace

std::unique_ptr<ExchangeService> ExchangeService::createUnavailable()
{
    return std::make_unique<UnavailableExchange>();
}
