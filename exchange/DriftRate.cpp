#include "exchange/DriftRate.h"

#include <cmath>
#include <cwchar>

#include "exchange/CompareLog.h"

namespace {
constexpr double kSecondsPerDay = 86400;
// Three records at least make a line that could have missed one of them.
constexpr size_t kFewestRecordsForRate = 3;
// The rate is told once its uncertainty is at most this share of it.
constexpr double kToldUncertaintyShare = 0.25;
// The history keeps offsets and bounds to the microsecond: every bound is
// that much wider.
constexpr double kRoundingSlack = 1e-6;
// NTP's largest frequency error of a clock it disciplines (RFC 5905,
// MAXFREQ): a steeper line is no clock's own drift.
constexpr double kSteepestRate = 500e-6;
constexpr wchar_t kLineEnd[] = L"\r\n";

// One record as a point of the line: seconds since the line's first
// record, the offset then, and the bound either side.
struct Point {
  double time;
  double offset;
  double bound;
};

// The lines a + r * time, each a point (a, r), that pass within every
// point's bound so far: a convex polygon, cut by each new point's two
// half-planes.
class LineSet {
public:
  explicit LineSet(const Point& first) {
    const double low = first.offset - first.bound - kRoundingSlack;
    const double high = first.offset + first.bound + kRoundingSlack;
    m_corners = {{low, -kSteepestRate}, {high, -kSteepestRate}, {high, kSteepestRate}, {low, kSteepestRate}};
  }

  // False, and the set unchanged, when no line of the set passes the point.
  bool Admit(const Point& point) {
    const double slack = point.bound + kRoundingSlack;
    // a + r * t <= offset + slack, and -(a + r * t) <= -(offset - slack).
    std::vector<Corner> cut = Cut(m_corners, 1, point.time, point.offset + slack);
    cut = Cut(cut, -1, -point.time, -(point.offset - slack));
    if (cut.empty()) return false;
    m_corners = cut;
    return true;
  }

private:
  struct Corner {
    double a;
    double r;
  };

  // The part of the polygon where ca * a + cr * r <= limit (Sutherland and
  // Hodgman's clipping of a convex polygon by one half-plane).
  static std::vector<Corner> Cut(const std::vector<Corner>& polygon, double ca, double cr, double limit) {
    std::vector<Corner> kept;
    for (size_t i = 0; i < polygon.size(); ++i) {
      const Corner& from = polygon[i];
      const Corner& to = polygon[(i + 1) % polygon.size()];
      const double fromExcess = ca * from.a + cr * from.r - limit;
      const double toExcess = ca * to.a + cr * to.r - limit;
      if (fromExcess <= 0) kept.push_back(from);
      if ((fromExcess < 0 && toExcess > 0) || (fromExcess > 0 && toExcess < 0)) {
        const double share = fromExcess / (fromExcess - toExcess);
        kept.push_back({from.a + share * (to.a - from.a), from.r + share * (to.r - from.r)});
      }
    }
    return kept;
  }

  std::vector<Corner> m_corners;
};

// Each point is weighed by the inverse square of its bound.
double WeightOf(const Point& point) {
  return 1 / std::pow(std::fmax(point.bound, kRoundingSlack), 2);
}

void FitLine(const std::vector<Point>& points, DriftFinding& finding) {
  double weights = 0, meanTime = 0, meanOffset = 0;
  for (const Point& point : points) {
    const double weight = WeightOf(point);
    weights += weight;
    meanTime += weight * point.time;
    meanOffset += weight * point.offset;
  }
  meanTime /= weights;
  meanOffset /= weights;
  double spread = 0, covariance = 0;
  for (const Point& point : points) {
    const double weight = WeightOf(point);
    spread += weight * (point.time - meanTime) * (point.time - meanTime);
    covariance += weight * (point.time - meanTime) * (point.offset - meanOffset);
  }
  if (spread <= 0) return;
  finding.rate = covariance / spread;
  finding.uncertainty = 1 / std::sqrt(spread);
}

Point PointOf(const HistoryRecord& record, double startSeconds) {
  return {SecondsSinceEpoch(record.when) - startSeconds, record.stepped ? 0 : record.offset, record.bound};
}

size_t LastStep(const std::vector<HistoryRecord>& records) {
  for (size_t i = records.size(); i > 0; --i)
    if (records[i - 1].stepped) return i - 1;
  return 0;
}

std::wstring Formatted(const wchar_t* format, double value) {
  wchar_t text[32];
  std::swprintf(text, 32, format, value);
  return text;
}

}  // namespace

std::wstring RateText(const std::vector<std::wstring>& messages, double rate) {
  const double perDay = std::fabs(rate) * kSecondsPerDay;
  const double ppm = std::fabs(rate) * kPartsPerMillion;
  const std::wstring& text = messages[rate > 0 ? kMessageClockLoses : kMessageClockGains];
  return WithValues(text, {Formatted(perDay >= 1 ? L"%.1f s" : L"%.3f s", perDay),
                          Formatted(ppm >= 10 ? L"%.0f" : L"%.1f", ppm)});
}

bool DriftFinding::Told() const {
  return rate && uncertainty <= kToldUncertaintyShare * std::fabs(*rate);
}

DriftFinding FindDrift(const std::vector<HistoryRecord>& records) {
  DriftFinding finding;
  if (records.empty()) return finding;
  size_t first = LastStep(records);
  double start = SecondsSinceEpoch(records[first].when);
  std::vector<Point> points{PointOf(records[first], start)};
  LineSet lines(points.front());
  for (size_t i = first + 1; i < records.size(); ++i) {
    Point point = PointOf(records[i], start);
    if (lines.Admit(point)) {
      points.push_back(point);
      continue;
    }
    finding.movedByOther = i + 1 == records.size();
    start = SecondsSinceEpoch(records[i].when);
    point = PointOf(records[i], start);
    points = {point};
    lines = LineSet(point);
  }
  finding.records = points.size();
  if (points.size() >= kFewestRecordsForRate) FitLine(points, finding);
  return finding;
}

double DriftPpm(const DriftFinding& finding) {
  return finding.rate ? -*finding.rate * kPartsPerMillion : 0;
}

std::wstring DriftLines(const std::vector<std::wstring>& messages, const DriftFinding& finding) {
  std::wstring lines;
  if (finding.movedByOther) lines += MessageLine(messages, kMessageMovedByOther);
  if (finding.Told()) lines += RateText(messages, *finding.rate) + kLineEnd;
  return lines;
}
