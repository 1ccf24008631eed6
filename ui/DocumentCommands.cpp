#include "ui/DocumentCommands.h"

#include "model/CFunctionsContext.h"
#include "ui/CCurvanaDoc.h"

template <> void StoreRecord(CFunctionsContext& context, const CWorkingArea& record)
{
    context.area = record;
}

template <> void StoreRecord(CFunctionsContext& context, const std::vector<CFunction>& record)
{
    // Fresh entries: nothing compiled or derived from the previous curves survives.
    context.Clear();
    for (const CFunction& f : record) {
        CFunctionEntry entry;
        entry.SetFunction(f);
        context.Append(entry);
    }
}

template <> void StoreRecord(CFunctionsContext& context, const CSettingsAxis& record)
{
    context.axis = record;
}

template <> void StoreRecord(CFunctionsContext& context, const CCurvanaParams& record)
{
    context.params = record;
}

template <class T> void RecordCommand<T>::StoreQuietly(const T& record)
{
    StoreRecord(doc_.Context(), record);
}

template <class T> void RecordCommand<T>::Store(const T& record)
{
    StoreRecord(doc_.Context(), record);
    emit doc_.HistoryApplied();
}

template class RecordCommand<CWorkingArea>;
template class RecordCommand<std::vector<CFunction>>;
template class RecordCommand<CSettingsAxis>;
template class RecordCommand<CCurvanaParams>;

namespace {

// A pause longer than this between two turns starts another step.
constexpr std::chrono::milliseconds kWheelPause(800);

} // namespace

WheelZoomCommand::WheelZoomCommand(
    CCurvanaDoc& doc, const CWorkingArea& before, const CWorkingArea& after, const QString& text)
    : AreaCommand(doc, before, after, text), last_(std::chrono::steady_clock::now())
{
}

bool WheelZoomCommand::mergeWith(const QUndoCommand* other)
{
    if (other->id() != kId)
        return false;
    const auto* turn = static_cast<const WheelZoomCommand*>(other);
    if (turn->last_ - last_ > kWheelPause)
        return false;
    SetAfter(turn->After());
    last_ = turn->last_;
    return true;
}

std::vector<CFunction> CurvesOf(const CFunctionsContext& context)
{
    std::vector<CFunction> curves;
    curves.reserve(context.functions.size());
    for (const CFunctionEntry& entry : context.functions)
        curves.push_back(entry.function);
    return curves;
}
