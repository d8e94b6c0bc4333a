/*
 * VisualLine: where the clusters of one laid-out line of a text view
 * stand on screen as shaped and put in display order, for the caret, hit
 * testing and the selection.
 *
 * The text stays in logical order; only positions are visual. A caret at
 * an offset stands at the leading edge of the cluster that starts there:
 * its left edge in a left-to-right run, its right edge in a right-to-left
 * one. Lines of plain ASCII never need one: their x is the sum of the
 * widths before an offset.
 *
 * Threads: none; a plain value built by the text view.
 */
#ifndef _KITS_VISUAL_LINE_H
#define _KITS_VISUAL_LINE_H

#include <SupportDefs.h>

#include <utility>
#include <vector>

namespace BPrivate {

// One cluster (or a tab, or a stand-in for a control character) as
// displayed: x from the line's left edge.
struct VisualCluster {
	int32			offset;
	int32			length;
	float			x;
	float			width;
	bool			rightToLeft;
};

class VisualLine {
public:
	typedef std::vector<std::pair<float, float> > Spans;

								VisualLine(int32 start, int32 end);

	// Clusters are added in any order; a cluster drawn with several
	// glyphs may be added once per glyph, and its pieces join.
			void				Add(const VisualCluster& cluster);

	// The text before the line grew or shrank by delta bytes.
			void				Shift(int32 delta);
	// Where the line starts in the text.
			int32				Start() const { return fStart; }

	// The cluster that holds offset, from its first byte to the byte
	// after it; false when none does.
			bool				ClusterAround(int32 offset, int32& _start,
									int32& _end) const;

	// The caret's x for offset in [start, end].
			float				CaretX(int32 offset) const;
	// The offset whose caret is nearest x: the nearer edge of the
	// cluster under x (an offset whose caret stands on that edge), the
	// line's visual ends beyond it.
			int32				OffsetAt(float x) const;
	// The stretches of x covered by the clusters of [from, to), left to
	// right, joined where they touch.
			void				SelectionSpans(int32 from, int32 to,
									Spans& _spans) const;

private:
	// The cluster that holds offset; NULL when none does.
			const VisualCluster* _ClusterAt(int32 offset) const;
	// offset, the nearer end of the cluster under a click, unless its
	// caret stands away from that cluster's edge at x edge and another
	// offset's caret stands there.
			int32				_OffsetWithCaretAt(float edge,
									int32 offset) const;
	// The clusters in order of their text (joined pieces sorted once).
			void				_Sort() const;

			int32				fStart;
			int32				fEnd;
	mutable std::vector<VisualCluster> fClusters;
	mutable bool				fSorted;
};

}	// namespace BPrivate

#endif	// _KITS_VISUAL_LINE_H
