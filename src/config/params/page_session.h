#pragma once
#include "comm/register_descriptor.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace getkelo {

class ConsoleView;
class DeviceList;
class TTesra;
class TextSource;
class UiAdapter;
struct skelo;

// What every series-4 page needs: the console's view (polling timer, pages), the device list
// with its selection, the one connection, the operator and the language texts.
struct PageContext {
    ConsoleView& view;
    DeviceList& devices;
    std::function<TTesra*()> connection;
    UiAdapter& ui;
    const TextSource& texts;
};

// One handler run of a page: the polling timer is off while it lives (restarted only by the
// run that stopped it, so a handler may call another) and the connection addresses the
// selected device. Writes go through it, so a save can tell the operator which fields the
// device refused instead of failing silently.
class PageSession {
  public:
    explicit PageSession(const PageContext& context);
    ~PageSession();
    PageSession(const PageSession&) = delete;
    PageSession& operator=(const PageSession&) = delete;

    // False when there is no connection or no selected device: the handler does nothing.
    explicit operator bool() const { return tesra_ != nullptr; }
    TTesra& tesra() const { return *tesra_; }
    const skelo& record() const;

    std::string read(RegisterDescriptor d) const;
    // The value read as an integer; failed reads and non-numbers give `fallback`.
    long long readInteger(RegisterDescriptor d, long long fallback = 0) const;
    // An addressed write; a refusal is remembered under `field`. "Fehler" (a field whose read
    // failed) is never written.
    bool write(RegisterDescriptor d, const std::string& text, const std::string& field = "");
    void sleepMs(int ms) const;
    // Tells the operator the fields the device did not take (no box when all went through).
    void reportRefused(const std::string& caption) const;

  private:
    const PageContext& context_;
    TTesra* tesra_ = nullptr;
    bool stoppedTimer_ = false;
    std::vector<std::string> refused_;
};

// The word with `mask` set when `on`, cleared otherwise; every other bit kept.
uint32_t withBits(uint32_t word, uint32_t mask, bool on);

} // namespace getkelo
