#pragma once

// The arithmetic of the dialogs' coupled fields, where a step and a count describe one split of a
// range and typing either rewrites the other. Nothing here is stored: the step follows from the
// range and the count.

// The function editor: a parameter range from min to max walked in a number of iterations.
// The step of a stored curve, as the editor shows it.
double CurveStep(double min, double max, double iterations);
// A count typed: the step it gives. A count of (nearly) zero stands for one step per unit of
// the range.
double StepForTypedIterations(double min, double max, double iterations);
// A step typed: the count it gives, unguarded (a step of 0 gives an infinite or undefined count,
// shown as the C library prints it).
double IterationsForTypedStep(double min, double max, double step);

// The axes dialog's graduation: a displayed range split into count graduations. A (nearly) zero
// count gives ten times the range as step, a (nearly) zero step a count of 10.
double GraduationStep(double range, double count);
double GraduationCount(double range, double step);
