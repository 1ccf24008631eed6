#pragma once

// The undo steps of the document: each holds copies of the model record it changes, before and
// after. Pushing a step applies it without a repaint (a dialog's change shows at the next
// "Trace !"); undoing and redoing it later tell the document, so that the view shows the result
// at once.

#include <chrono>
#include <vector>

#include <QUndoCommand>

#include "model/CCurvanaParams.h"
#include "model/CFunction.h"
#include "model/CSettingsAxis.h"
#include "model/CWorkingArea.h"

class CCurvanaDoc;
class CFunctionsContext;

// Writes a record of type T into the model.
template <class T> void StoreRecord(CFunctionsContext& context, const T& record);

template <class T> class RecordCommand : public QUndoCommand {
public:
    RecordCommand(CCurvanaDoc& doc, const T& before, const T& after, const QString& text)
        : QUndoCommand(text), doc_(doc), before_(before), after_(after)
    {
    }

    void undo() override { Store(before_); }
    void redo() override
    {
        if (first_) {
            first_ = false;
            StoreQuietly(after_);
            return;
        }
        Store(after_);
    }

protected:
    const T& After() const { return after_; }
    void SetAfter(const T& after) { after_ = after; }

private:
    void StoreQuietly(const T& record);
    void Store(const T& record);

    CCurvanaDoc& doc_;
    T before_;
    T after_;
    bool first_ = true;
};

using AreaCommand = RecordCommand<CWorkingArea>;
using FunctionsCommand = RecordCommand<std::vector<CFunction>>;
using AxisCommand = RecordCommand<CSettingsAxis>;
using ParamsCommand = RecordCommand<CCurvanaParams>;

// Wheel turns in quick succession make one step.
class WheelZoomCommand final : public AreaCommand {
public:
    static constexpr int kId = 1;
    WheelZoomCommand(CCurvanaDoc& doc, const CWorkingArea& before, const CWorkingArea& after,
        const QString& text);
    int id() const override { return kId; }
    bool mergeWith(const QUndoCommand* other) override;

private:
    std::chrono::steady_clock::time_point last_;
};

// The curves of the model, as records.
std::vector<CFunction> CurvesOf(const CFunctionsContext& context);
