/*
 * The view tree, in a window run by the test driver:
 * - adding and removing views: children in order, insertion before a
 *   sibling, siblings, Parent() NULL at the window's top level,
 *   FindView() by name in nested views, Window() set and cleared;
 * - the attach and detach hooks: AttachedToWindow parents first,
 *   AllAttached children first, the same for detaching; deleting a
 *   window detaches and deletes its views;
 * - adding a view that has a parent, or a view to its own child, stops
 *   the program;
 * - coordinates: parent, window and screen conversions of points and
 *   rects through nested, scrolled views;
 * - Hide()/Show() nest, and a hidden parent hides its children;
 * - preferred size, resizing to it, and negative sizes.
 */
#include "InterfaceTestSupport.h"

using namespace interface_test;


TEST(ViewTreeTest, ChildrenSiblingsAndNames)
{
	TestDriver driver;
	ASSERT_EQ(driver.Launch<TestApplication>(), B_OK);

	BWindow* window = new BWindow(BRect(10, 10, 209, 209), "Tree",
		B_TITLED_WINDOW, 0);
	BView* a = new BView(BRect(0, 0, 9, 9), "a", B_FOLLOW_NONE, 0);
	BView* b = new BView(BRect(0, 0, 9, 9), "b", B_FOLLOW_NONE, 0);
	BView* c = new BView(BRect(0, 0, 9, 9), "c", B_FOLLOW_NONE, 0);
	BView* nested = new BView(BRect(1, 1, 5, 5), "nested", B_FOLLOW_NONE, 0);
	window->AddChild(a);
	window->AddChild(c);
	window->AddChild(b, c);
	b->AddChild(nested);
	window->Show();
	ASSERT_EQ(driver.WaitForIdle(), B_OK);

	WindowLocker locker(window);
	EXPECT_EQ(window->CountChildren(), 3);
	EXPECT_EQ(window->ChildAt(0), a);
	EXPECT_EQ(window->ChildAt(1), b);
	EXPECT_EQ(window->ChildAt(2), c);
	EXPECT_EQ(window->ChildAt(3), (BView*)NULL);
	EXPECT_EQ(window->ChildAt(-1), (BView*)NULL);
	EXPECT_EQ(a->NextSibling(), b);
	EXPECT_EQ(c->NextSibling(), (BView*)NULL);
	EXPECT_EQ(c->PreviousSibling(), b);
	EXPECT_EQ(a->PreviousSibling(), (BView*)NULL);
	EXPECT_EQ(a->Parent(), (BView*)NULL);
	EXPECT_EQ(nested->Parent(), b);
	EXPECT_EQ(nested->Window(), window);
	EXPECT_EQ(window->FindView("nested"), nested);
	EXPECT_EQ(b->FindView("nested"), nested);
	EXPECT_EQ(a->FindView("nested"), (BView*)NULL);
	EXPECT_EQ(window->FindView("missing"), (BView*)NULL);
	EXPECT_EQ(window->FindView((const char*)NULL), (BView*)NULL);
	EXPECT_EQ(driver.FindView(window, "nested"), nested);

	EXPECT_TRUE(b->RemoveChild(nested));
	EXPECT_FALSE(b->RemoveChild(nested));
	EXPECT_FALSE(a->RemoveChild(b));
	EXPECT_EQ(nested->Window(), (BWindow*)NULL);
	EXPECT_EQ(nested->Parent(), (BView*)NULL);
	EXPECT_EQ(window->FindView("nested"), (BView*)NULL);
	delete nested;

	EXPECT_TRUE(c->RemoveSelf());
	EXPECT_EQ(window->CountChildren(), 2);
	EXPECT_FALSE(c->RemoveSelf());
	delete c;
}


TEST(ViewTreeTest, AttachAndDetachHooksInOrder)
{
	// The journal outlives the driver, which quits the windows.
	Journal journal;
	TestDriver driver;
	ASSERT_EQ(driver.Launch<TestApplication>(), B_OK);

	BWindow* window = new BWindow(BRect(10, 10, 209, 209), "Hooks",
		B_TITLED_WINDOW, 0);
	window->Show();
	ASSERT_EQ(driver.WaitForIdle(), B_OK);

	RecordingView* parent = new RecordingView(BRect(0, 0, 99, 99), "parent",
		B_FOLLOW_NONE, 0, journal);
	parent->AddChild(new RecordingView(BRect(0, 0, 9, 9), "child",
		B_FOLLOW_NONE, 0, journal));
	// Not in a window yet: nothing is called.
	EXPECT_TRUE(journal.Entries().empty());

	{
		WindowLocker locker(window);
		window->AddChild(parent);
		EXPECT_EQ(journal.Entries(), (std::vector<std::string>{
			"parent:AttachedToWindow", "child:AttachedToWindow",
			"child:AllAttached", "parent:AllAttached" }));
		journal.Clear();

		window->RemoveChild(parent);
		EXPECT_EQ(journal.Entries(), (std::vector<std::string>{
			"parent:DetachedFromWindow", "child:DetachedFromWindow",
			"child:AllDetached", "parent:AllDetached" }));
		journal.Clear();
		window->AddChild(parent);
	}

	// Quitting the window detaches and deletes its views.
	ASSERT_EQ(driver.CloseWindow(window), B_OK);
	EXPECT_EQ(driver.CountWindows(), 0);
	std::vector<std::string> entries = journal.Entries();
	EXPECT_EQ(journal.Count("parent:DetachedFromWindow"), 1);
	EXPECT_EQ(journal.Count("child:AllDetached"), 1);
}


TEST(ViewTreeDeathTest, AddingAViewTwiceStops)
{
	GTEST_FLAG_SET(death_test_style, "threadsafe");
	EXPECT_DEATH({
		BView parent(BRect(0, 0, 9, 9), "parent", B_FOLLOW_NONE, 0);
		BView other(BRect(0, 0, 9, 9), "other", B_FOLLOW_NONE, 0);
		BView* child = new BView(BRect(0, 0, 9, 9), "child", B_FOLLOW_NONE, 0);
		parent.AddChild(child);
		other.AddChild(child);
	}, "has a parent already");
	EXPECT_DEATH({
		BView parent(BRect(0, 0, 9, 9), "parent", B_FOLLOW_NONE, 0);
		BView* child = new BView(BRect(0, 0, 9, 9), "child", B_FOLLOW_NONE, 0);
		parent.AddChild(child);
		child->AddChild(&parent);
	}, "to itself or to one of its own children");
}


TEST(ViewTreeTest, CoordinatesThroughNestedScrolledViews)
{
	TestDriver driver;
	ASSERT_EQ(driver.Launch<TestApplication>(), B_OK);

	BWindow* window = new BWindow(BRect(100, 50, 399, 249), "Coordinates",
		B_TITLED_WINDOW, 0);
	BView* outer = new BView(BRect(10, 20, 209, 179), "outer", B_FOLLOW_NONE,
		0);
	BView* inner = new BView(BRect(5, 5, 54, 54), "inner", B_FOLLOW_NONE, 0);
	window->AddChild(outer);
	outer->AddChild(inner);
	window->Show();
	ASSERT_EQ(driver.WaitForIdle(), B_OK);

	WindowLocker locker(window);
	EXPECT_EQ(window->Frame(), BRect(100, 50, 399, 249));
	EXPECT_EQ(window->Bounds(), BRect(0, 0, 299, 199));
	EXPECT_EQ(inner->ConvertToParent(BPoint(1, 2)), BPoint(6, 7));
	EXPECT_EQ(inner->ConvertFromParent(BPoint(6, 7)), BPoint(1, 2));
	EXPECT_EQ(inner->ConvertToWindow(BPoint(0, 0)), BPoint(15, 25));
	EXPECT_EQ(inner->ConvertFromWindow(BPoint(15, 25)), BPoint(0, 0));
	EXPECT_EQ(inner->ConvertToScreen(BPoint(0, 0)), BPoint(115, 75));
	EXPECT_EQ(inner->ConvertFromScreen(BPoint(115, 75)), BPoint(0, 0));
	EXPECT_EQ(inner->ConvertToWindow(BRect(0, 0, 9, 9)),
		BRect(15, 25, 24, 34));
	EXPECT_EQ(inner->ConvertToScreen(BRect(0, 0, 9, 9)),
		BRect(115, 75, 124, 84));
	EXPECT_EQ(outer->ConvertFromScreen(BRect(110, 70, 111, 71)),
		BRect(0, 0, 1, 1));

	// Scrolling the outer view moves the bounds, and its child with it.
	outer->ScrollBy(3, 40);
	EXPECT_EQ(outer->Bounds(), BRect(3, 40, 202, 199));
	EXPECT_EQ(outer->Frame(), BRect(10, 20, 209, 179));
	EXPECT_EQ(inner->ConvertToWindow(BPoint(0, 0)), BPoint(12, -15));
	EXPECT_EQ(outer->ConvertFromWindow(BPoint(10, 20)), BPoint(3, 40));
	outer->ScrollTo(BPoint(0, 0));
	EXPECT_EQ(inner->ConvertToWindow(BPoint(0, 0)), BPoint(15, 25));

	EXPECT_EQ(window->ConvertToScreen(BPoint(1, 1)), BPoint(101, 51));
	EXPECT_EQ(window->ConvertFromScreen(BRect(100, 50, 101, 51)),
		BRect(0, 0, 1, 1));
	EXPECT_EQ(window->FindView(BPoint(16, 26)), inner);
	EXPECT_EQ(window->FindView(BPoint(11, 21)), outer);
	EXPECT_EQ(window->FindView(BPoint(1, 1)), (BView*)NULL);
	EXPECT_EQ(window->FindView(BPoint(300, 1)), (BView*)NULL);
}


TEST(ViewTreeTest, HidingNestsAndGeometryEdges)
{
	TestDriver driver;
	ASSERT_EQ(driver.Launch<TestApplication>(), B_OK);

	BWindow* window = new BWindow(BRect(10, 10, 209, 209), "Hiding",
		B_TITLED_WINDOW, 0);
	BView* parent = new BView(BRect(0, 0, 99, 99), "parent", B_FOLLOW_NONE,
		0);
	BView* child = new BView(BRect(10, 10, 19, 19), "child", B_FOLLOW_NONE,
		0);
	window->AddChild(parent);
	parent->AddChild(child);

	// A view of a hidden window is hidden, until the window shows.
	EXPECT_TRUE(child->IsHidden());
	window->Show();
	ASSERT_EQ(driver.WaitForIdle(), B_OK);

	WindowLocker locker(window);
	EXPECT_FALSE(child->IsHidden());
	parent->Hide();
	parent->Hide();
	EXPECT_TRUE(child->IsHidden());
	EXPECT_FALSE(child->IsHidden(child));
	parent->Show();
	EXPECT_TRUE(parent->IsHidden());
	parent->Show();
	EXPECT_FALSE(child->IsHidden());
	EXPECT_EQ(window->FindView(BPoint(15, 15)), child);
	child->Hide();
	EXPECT_EQ(window->FindView(BPoint(15, 15)), parent);
	child->Show();

	float width = -1;
	float height = -1;
	child->GetPreferredSize(&width, &height);
	EXPECT_EQ(width, 9);
	EXPECT_EQ(height, 9);
	child->ResizeTo(-5, 30);
	EXPECT_EQ(child->Frame(), BRect(10, 10, 10, 40));
	child->ResizeToPreferred();
	EXPECT_EQ(child->Frame(), BRect(10, 10, 10, 40));
	child->MoveBy(5, -5);
	EXPECT_EQ(child->Frame(), BRect(15, 5, 15, 35));
	child->MoveTo(BPoint(0.4f, 1.6f));
	EXPECT_EQ(child->Frame().LeftTop(), BPoint(0, 2));
}
