#pragma once

// WeightSeries and LoadWeightSeries: filled in by the analysis work.
