// TStrings, the list of texts every control with lines or items shares, and
// TStringList, its plain in-memory form.
#pragma once

#include "Object.h"

#include <string>
#include <utility>
#include <vector>

class TStrings : public TPersistent {
    GANTREL_CLASS(TStrings)

    virtual int Count() const = 0;
    virtual std::string Get(int index) const = 0;
    virtual void Put(int index, const std::string& text);
    virtual TObject* GetObject(int index) const;
    virtual void PutObject(int index, TObject* object);
    virtual void Insert(int index, const std::string& text) = 0;
    virtual void Delete(int index) = 0;
    virtual void Clear() = 0;

    std::string operator[](int index) const { return Get(index); }
    // Appends at the end; lists that check what they insert may append
    // without the check (AddObject, AddStrings, SetText and reading a form
    // resource all append through here).
    virtual int Add(const std::string& text);
    int AddObject(const std::string& text, TObject* object);
    void AddStrings(TStrings* strings);
    int IndexOf(const std::string& text) const;  // ignoring case, as names are compared
    // All lines, each ended by CR LF; setting splits at CR LF, LF or CR.
    virtual std::string Text() const;
    virtual void SetText(const std::string& text);
    std::string CommaText() const;

    void BeginUpdate();
    void EndUpdate();
    bool Updating() const { return FUpdateCount > 0; }

    void Assign(TPersistent* source) override;
    bool ReadProperty(const std::string& name, TReader& reader) override;

protected:
    // Called when the first BeginUpdate starts and the last EndUpdate ends.
    virtual void SetUpdateState(bool updating) { (void)updating; }
    void CheckIndex(int index, int limit) const;

private:
    int FUpdateCount = 0;
};

class TStringList : public TStrings {
    GANTREL_CLASS(TStringList)

    int Count() const override { return int(FItems.size()); }
    std::string Get(int index) const override;
    void Put(int index, const std::string& text) override;
    TObject* GetObject(int index) const override;
    void PutObject(int index, TObject* object) override;
    void Insert(int index, const std::string& text) override;
    void Delete(int index) override;
    void Clear() override;

    TNotifyEvent OnChange;
    TNotifyEvent OnChanging;

protected:
    void SetUpdateState(bool updating) override;
    void Changing();
    void Changed();

private:
    std::vector<std::pair<std::string, TObject*>> FItems;
};
