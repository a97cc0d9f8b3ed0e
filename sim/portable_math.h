#pragma once
// Sine, cosine, tangent and arctangent built from + - * / on doubles only, so that the Linux
// and the Windows builds start every fish and bubble with the very same bits: the C libraries
// of the two targets do not round their transcendental functions alike. Accurate to a few
// units in the last place of a double, far below the 32-bit floats the simulation stores.
// Arguments are meant to be moderate (|x| < 1e6); larger ones lose accuracy, never determinism.

double PortableSin(double x);
double PortableCos(double x);
double PortableTan(double x);
double PortableAtan(double x);
