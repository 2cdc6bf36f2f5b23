package quillomere.tarvex;

/**
 * A probe group of a custom-sequence probe set.
 */
public class TeskCustomSeqProbeGroup extends ChildObject {
    static {
        NativeLibrary.load();
    }

    /** GroupIndex: Filled by the native methods. */
    public int GroupIndex;
    /** NumLists: Filled by the native methods. */
    public int NumLists;
    /** Name: Filled by the native methods. */
    public String Name;

    /**
     * One probe list of this group.
     *
     * @param index index of the item, from 0
     * @return the list
     * @throws Exception with the message of a failing step ("COM Error - ..." for a failing
     *     operation)
     */
    public native TeskCustomSeqProbeList GetProbeListByIndex(int index) throws Exception;

    /**
     * Every probe list of this group.
     *
     * @return the lists, in order
     * @throws Exception with the message of a failing step ("COM Error - ..." for a failing
     *     operation)
     */
    public native TeskCustomSeqProbeList[] GetProbeLists() throws Exception;

}
