#pragma once

class CMainDoc;

// The main frame's reference to the one open document, or none. Transfer, run and channel
// commands use it and are disabled while it is none.
class CurrentDocument {
public:
    CMainDoc* get() const { return document_; }
    void set(CMainDoc* document) { document_ = document; }
    void clear() { document_ = nullptr; }
    explicit operator bool() const { return document_ != nullptr; }

private:
    CMainDoc* document_ = nullptr;
};
