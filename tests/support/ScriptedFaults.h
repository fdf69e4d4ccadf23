#pragma once
// A fault injector for tests: plugs itself in while it exists, records every
// fail point the code passes, and fails the steps it was told to fail with
// the error numbers it was given.

#include "msgfile/FaultInjection.h"

#include <QList>

class ScriptedFaults : public TFaultInjector
{
public:
    ScriptedFaults() : m_previous(SetFaultInjector(this)) {}
    ~ScriptedFaults() override { SetFaultInjector(m_previous); }
    ScriptedFaults(const ScriptedFaults &) = delete;
    ScriptedFaults &operator=(const ScriptedFaults &) = delete;

    // The step at Point fails with Error, after Passes checks of it that go
    // through; Times failures in all (-1: every check from then on).
    void Fail(TFailPoint point, int error, int passes = 0, int times = -1)
    {
        m_rules.append({point, error, passes, times});
    }
    // No more failures; what was passed stays recorded.
    void Clear() { m_rules.clear(); }

    int Fault(TFailPoint point) override
    {
        m_passed.append(point);
        for (Rule &rule : m_rules) {
            if (rule.Point != point || rule.Times == 0)
                continue;
            if (rule.Passes > 0) {
                --rule.Passes;
                continue;
            }
            if (rule.Times > 0)
                --rule.Times;
            ++m_failures;
            return rule.Error;
        }
        return 0;
    }

    // Every fail point checked so far, in order.
    const QList<TFailPoint> &Passed() const { return m_passed; }
    qsizetype Count(TFailPoint point) const { return m_passed.count(point); }
    // How many steps were made to fail.
    int Failures() const { return m_failures; }

private:
    struct Rule
    {
        TFailPoint Point;
        int Error;
        int Passes;
        int Times;
    };
    TFaultInjector *m_previous;
    QList<Rule> m_rules;
    QList<TFailPoint> m_passed;
    int m_failures = 0;
};
