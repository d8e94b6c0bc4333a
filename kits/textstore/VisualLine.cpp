/*
 * VisualLine: display positions of a line's clusters.
 */
#include "VisualLine.h"

#include <algorithm>

#include <math.h>

namespace BPrivate {


VisualLine::VisualLine(int32 start, int32 end)
	:
	fStart(start),
	fEnd(end),
	fSorted(true)
{
}


void
VisualLine::Add(const VisualCluster& cluster)
{
	fClusters.push_back(cluster);
	fSorted = false;
}


void
VisualLine::Shift(int32 delta)
{
	fStart += delta;
	fEnd += delta;
	for (VisualCluster& cluster : fClusters)
		cluster.offset += delta;
}


void
VisualLine::_Sort() const
{
	if (fSorted)
		return;
	std::stable_sort(fClusters.begin(), fClusters.end(),
		[](const VisualCluster& a, const VisualCluster& b) {
			return a.offset < b.offset;
		});
	// The glyphs of one cluster become one stretch from the leftmost to
	// the rightmost.
	std::vector<VisualCluster> joined;
	for (const VisualCluster& cluster : fClusters) {
		if (!joined.empty() && joined.back().offset == cluster.offset) {
			VisualCluster& last = joined.back();
			float right = std::max(last.x + last.width,
				cluster.x + cluster.width);
			last.x = std::min(last.x, cluster.x);
			last.width = right - last.x;
			last.length = std::max(last.length, cluster.length);
		} else
			joined.push_back(cluster);
	}
	fClusters.swap(joined);
	fSorted = true;
}


const VisualCluster*
VisualLine::_ClusterAt(int32 offset) const
{
	_Sort();
	auto found = std::upper_bound(fClusters.begin(), fClusters.end(),
		offset, [](int32 value, const VisualCluster& cluster) {
			return value < cluster.offset;
		});
	if (found == fClusters.begin())
		return NULL;
	--found;
	if (offset >= found->offset + found->length)
		return NULL;
	return &*found;
}


bool
VisualLine::ClusterAround(int32 offset, int32& _start, int32& _end) const
{
	const VisualCluster* cluster = _ClusterAt(offset);
	if (cluster == NULL)
		return false;
	_start = cluster->offset;
	_end = cluster->offset + cluster->length;
	return true;
}


float
VisualLine::CaretX(int32 offset) const
{
	const VisualCluster* cluster = _ClusterAt(offset);
	if (cluster != NULL) {
		return cluster->rightToLeft ? cluster->x + cluster->width
			: cluster->x;
	}
	// After the last cluster: at the trailing edge of the one before.
	cluster = offset > fStart ? _ClusterAt(offset - 1) : NULL;
	if (cluster != NULL) {
		return cluster->rightToLeft ? cluster->x
			: cluster->x + cluster->width;
	}
	return 0;
}


int32
VisualLine::OffsetAt(float x) const
{
	_Sort();
	const VisualCluster* leftmost = NULL;
	const VisualCluster* rightmost = NULL;
	for (const VisualCluster& cluster : fClusters) {
		if (x >= cluster.x && x < cluster.x + cluster.width) {
			bool leftHalf = x < cluster.x + cluster.width / 2;
			// The nearer edge: the leading one is the cluster's own
			// offset, the trailing one the offset after it.
			int32 offset = leftHalf == cluster.rightToLeft
				? cluster.offset + cluster.length : cluster.offset;
			return _OffsetWithCaretAt(
				leftHalf ? cluster.x : cluster.x + cluster.width, offset);
		}
		if (leftmost == NULL || cluster.x < leftmost->x)
			leftmost = &cluster;
		if (rightmost == NULL
			|| cluster.x + cluster.width > rightmost->x + rightmost->width) {
			rightmost = &cluster;
		}
	}
	if (leftmost == NULL)
		return fStart;
	// Beyond either end of the line: the edge of the outermost cluster
	// on that side.
	const VisualCluster* outer = x < leftmost->x ? leftmost : rightmost;
	bool leftSide = outer == leftmost && x < leftmost->x;
	if (leftSide == outer->rightToLeft)
		return std::min(fEnd, outer->offset + outer->length);
	return outer->offset;
}


int32
VisualLine::_OffsetWithCaretAt(float edge, int32 offset) const
{
	// Half a pixel of slack: positions are sums of floats.
	const float kSlack = 0.5f;
	if (fabsf(CaretX(offset) - edge) <= kSlack)
		return offset;
	// Where the direction changes, the offset after a cluster may have
	// its caret far from the cluster's trailing edge (after a tab that
	// ends a right-to-left segment, at the far end of the left-to-right
	// one that follows); another offset may stand at that edge.
	for (const VisualCluster& cluster : fClusters) {
		float leading = cluster.rightToLeft ? cluster.x + cluster.width
			: cluster.x;
		if (fabsf(leading - edge) <= kSlack)
			return cluster.offset;
	}
	if (fabsf(CaretX(fEnd) - edge) <= kSlack)
		return fEnd;
	return offset;
}


void
VisualLine::SelectionSpans(int32 from, int32 to, Spans& _spans) const
{
	_spans.clear();
	_Sort();
	Spans covered;
	for (const VisualCluster& cluster : fClusters) {
		if (cluster.offset >= from && cluster.offset < to && cluster.width > 0)
			covered.push_back(std::make_pair(cluster.x,
				cluster.x + cluster.width));
	}
	std::sort(covered.begin(), covered.end());
	for (const auto& span : covered) {
		// Half a pixel of slack: positions are sums of floats.
		if (!_spans.empty() && span.first <= _spans.back().second + 0.5f)
			_spans.back().second = std::max(_spans.back().second,
				span.second);
		else
			_spans.push_back(span);
	}
}

}	// namespace BPrivate
